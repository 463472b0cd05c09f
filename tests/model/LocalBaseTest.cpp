// The local base's file: created and brought to the last schema, in WAL mode
// with foreign keys on; its steps of schema; a damaged file set aside; a base
// held by another connection; and what it keeps of a competition's tables.
#include "model/LocalBase.h"
#include "model/LocalBaseMessages.h"
#include "support/TempDir.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace tavlor {
namespace {

namespace fs = std::filesystem;
namespace m = msg::localbase;

std::string Failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Add(TTable& table, std::initializer_list<std::pair<const char*, TValue>> values) {
    table.Append();
    for (const auto& [name, value] : values) table.SetValue(name, value);
    table.Post();
}

class LocalBaseTest : public ::testing::Test {
protected:
    test::TTempDir Dir;
    std::string Path = Dir.File("tavlor.db");
    TLocalBase Base;
    TCompetTables Tables;

    static TLocalCompet Info(std::int32_t id, const std::string& origin = "http://127.0.0.1:8765/3bandes",
                             double changed = 46000.5) {
        TLocalCompet info;
        info.Id = id;
        info.Title = "2025-2026 Nationale 1 - Finale (3Bandes)";
        info.Discipline = "3Bandes";
        info.Season = "2025-2026";
        info.Origin = origin;
        info.Changed = changed;
        return info;
    }

    // A small competition, written straight into the tables: every kind of
    // value, nulls, rows out of key order, a text at its field's width.
    void Fill() {
        Add(Tables.Billards, {{"TAILLE", 310}, {"NOMBD", "3,10 m"}});
        Add(Tables.Billards, {{"TAILLE", 280}, {"NOMBD", "2,80 m"}});
        Add(Tables.Phases, {{"IDPHASE", 2}, {"NOMPHASE", "Finale à 8 €"}, {"NODE", 7}});
        Add(Tables.Phases, {{"IDPHASE", 1}, {"NOMPHASE", ""}, {"NODE", 3}});
        Add(Tables.Poules, {{"IDPOULE", 101}, {"NOMPOULE", "Poule A"}, {"IDPHASE", 1}, {"FCLASST", 2}});
        Add(Tables.Poules, {{"IDPOULE", 100}, {"NOMPOULE", std::string(50, 'p')}, {"IDPHASE", 2}});
        Add(Tables.Inscrits, {{"LICENCE", 12}, {"NOM", "LEFÈVRE Hélène"}, {"RGA", -1}});
        Add(Tables.Inscrits, {{"LICENCE", 5}, {"NOM", "GARÇON François"}, {"RGA", 1}});
        Add(Tables.Joueurs, {{"IDPHASE", 1}, {"IDPOULE", 101}, {"LICENCE", 12}, {"RGA", 2}});
        Add(Tables.Joueurs, {{"IDPHASE", 1}, {"IDPOULE", 101}, {"LICENCE", 5}, {"RGA", 1}});
        Add(Tables.Matchs, {{"IDPHASE", 1},
                            {"IDPOULE", 101},
                            {"IDMATCH", 30002},
                            {"LICENCE1", 12},
                            {"PTS1", 30},
                            {"REP1", 25},
                            {"SER1", 5},
                            {"PM1", 2},
                            {"LICENCE2", 5},
                            {"PTS2", 28},
                            {"REP2", 25},
                            {"SER2", 4},
                            {"PM2", 0},
                            {"DATEMATCH", 46001.75},
                            {"BD", 310},
                            {"COEFBD", -0.0}});
        Add(Tables.Matchs, {{"IDMATCH", 30001}, {"IDPOULE", 101}, {"DATEMATCH", 46001.0}, {"COEFBD", 0.9}});
    }

    // A table's stored rows but NODE, as the memory holds them.
    static std::vector<std::vector<TValue>> Rows(const TTable& table, const std::vector<const char*>& columns) {
        std::vector<std::vector<TValue>> rows;
        for (const TRow* row : table.Data().RowsInInsertionOrder()) {
            auto& values = rows.emplace_back();
            for (const char* c : columns) values.push_back(row->Values[table.Data().FieldByName(c).StorageIndex]);
        }
        return rows;
    }
};

// ---- the file

TEST_F(LocalBaseTest, ANewBaseIsCreatedAtTheLastSchemaInWalModeWithForeignKeysOn) {
    const TLocalBase::TOpened opened = Base.Open(Path);
    EXPECT_EQ(opened.FromVersion, 0);
    EXPECT_TRUE(opened.SetAside.empty());
    EXPECT_TRUE(fs::exists(Path));
    EXPECT_EQ(Base.SchemaVersion(), Migrations().back().Version);
    TSqlite& db = Base.Connection();
    EXPECT_EQ(db.QueryText("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(db.QueryInt("PRAGMA foreign_keys"), 1);
    EXPECT_EQ(db.QueryInt("PRAGMA synchronous"), 2);  // FULL
    EXPECT_TRUE(Base.List().empty());
    // Rows of a competition the base does not hold are refused.
    try {
        db.Exec("INSERT INTO PHASES (IDCOMPET, SEQ, IDPHASE) VALUES (77, 0, 1)");
        ADD_FAILURE() << "a phase without its competition was taken";
    } catch (const TSqliteError& e) {
        EXPECT_EQ(e.Code, SQLITE_CONSTRAINT);
    }
    // Opened again: nothing to do.
    Base.Close();
    EXPECT_EQ(Base.Open(Path).FromVersion, Migrations().back().Version);
}

TEST_F(LocalBaseTest, AnEmptyFileBecomesANewBase) {
    WriteBytes(Path, "");
    const TLocalBase::TOpened opened = Base.Open(Path);
    EXPECT_TRUE(opened.SetAside.empty());
    EXPECT_EQ(opened.FromVersion, 0);
    EXPECT_EQ(Base.SchemaVersion(), 1);
}

TEST_F(LocalBaseTest, EveryStoredFieldOfTheMemoryTablesButTheTreeHandleHasItsColumn) {
    for (const TBaseTable& table : BaseTables()) {
        const TTableData& data = (Tables.*table.Table).Data();
        std::set<std::string> stored, columns(table.Columns.begin(), table.Columns.end());
        for (int slot = 0; slot < data.StoredFieldCount(); ++slot) {
            if (data.StoredField(slot).Name != "NODE") stored.insert(data.StoredField(slot).Name);
        }
        EXPECT_EQ(stored, columns) << table.Name;
        EXPECT_EQ(columns.size(), table.Columns.size()) << table.Name;
    }
}

// ---- steps of the schema

TEST_F(LocalBaseTest, ABaseOfTheFirstSchemaWithItsDataIsBroughtForwardOnce) {
    Fill();
    Base.Open(Path);
    Base.Store(Info(1201), Tables);
    Base.Close();

    const std::vector<TMigration> steps = {Migrations().front(),
                                           {2,
                                            "ALTER TABLE COMPETITIONS ADD COLUMN LIEU TEXT NOT NULL DEFAULT 'Vichy';"
                                            "CREATE INDEX MATCHSPARPOULE ON MATCHS (IDCOMPET, IDPOULE)"}};
    TLocalBase::TOpenOptions options;
    options.Steps = &steps;
    EXPECT_EQ(Base.Open(Path, options).FromVersion, 1);
    EXPECT_EQ(Base.SchemaVersion(), 2);
    EXPECT_EQ(Base.Connection().QueryText("SELECT LIEU FROM COMPETITIONS WHERE IDCOMPET = 1201"), "Vichy");
    const TStoredCompet stored = Base.Read(1201, Tables);
    EXPECT_EQ(stored.Info, Base.Find(1201));
    EXPECT_EQ(stored.Rows[BaseMatchs], Rows(Tables.Matchs, BaseTables()[BaseMatchs].Columns));
    Base.Close();
    // The step would fail if it ran twice (the column exists).
    EXPECT_EQ(Base.Open(Path, options).FromVersion, 2);
}

TEST_F(LocalBaseTest, AStepThatFailsLeavesTheBaseAsItWasWithItsData) {
    Fill();
    Base.Open(Path);
    Base.Store(Info(1201), Tables);
    Base.Close();
    const std::vector<TMigration> steps = {Migrations().front(),
                                           {2, "CREATE TABLE NOUVELLE (A INTEGER); CREATE TABLE COMPETITIONS (A)"}};
    TLocalBase::TOpenOptions options;
    options.Steps = &steps;
    EXPECT_EQ(Failure([&] { Base.Open(Path, options); }), m::MigrationFailed(Path, 2, "instruction refusée"));
    EXPECT_FALSE(Base.IsOpen());
    Base.Open(Path);
    EXPECT_EQ(Base.SchemaVersion(), 1);
    EXPECT_EQ(Base.Connection().QueryInt("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'NOUVELLE'"), 0);
    EXPECT_EQ(Base.Find(1201)->Matches, 2);
}

TEST_F(LocalBaseTest, ABaseOfANewerProgramIsNotOpenedNorTouched) {
    Base.Open(Path);
    Base.Connection().Exec("PRAGMA user_version = 7");
    Base.Close();
    const std::string before = ReadBytes(Path);
    EXPECT_EQ(Failure([&] { Base.Open(Path); }), m::NewerSchema(Path, 7));
    EXPECT_FALSE(Base.IsOpen());
    EXPECT_EQ(ReadBytes(Path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path()), fs::directory_iterator()), 1);
}

// ---- a damaged file

class DamagedBase : public LocalBaseTest {
protected:
    // Opens the base over what the file holds: it must be set aside, its
    // bytes kept under the new name, and a new empty base opened.
    void ExpectSetAside(const std::string& bytes) {
        const TLocalBase::TOpened opened = Base.Open(Path);
        ASSERT_FALSE(opened.SetAside.empty());
        EXPECT_TRUE(std::regex_match(opened.SetAside, std::regex(std::regex_replace(Path, std::regex("\\."), "\\.") +
                                                                 "\\.endommagé-[0-9]{8}-[0-9]{6}")))
            << opened.SetAside;
        EXPECT_EQ(ReadBytes(opened.SetAside), bytes);
        EXPECT_TRUE(Base.IsOpen());
        EXPECT_EQ(Base.SchemaVersion(), 1);
        EXPECT_TRUE(Base.List().empty());
        EXPECT_EQ(Base.IntegrityCheck(), "ok");
        Base.Store(Info(1201), Tables);
        EXPECT_EQ(Base.List().size(), 1u);
    }
};

TEST_F(DamagedBase, GarbageIsSetAside) {
    const std::string garbage =
        "Ceci n'est pas une base de données, mais une liste de courses.\n" + std::string(5000, 'x');
    WriteBytes(Path, garbage);
    ExpectSetAside(garbage);
}

TEST_F(DamagedBase, ACutBaseIsSetAside) {
    Fill();
    for (std::int32_t id = 1; id <= 3000; ++id) Add(Tables.Matchs, {{"IDMATCH", 40000 + id}, {"IDPOULE", 101}});
    Base.Open(Path);
    for (std::int32_t id = 1; id <= 5; ++id) Base.Store(Info(id), Tables);
    Base.Close();  // the last connection: everything back in the file
    ASSERT_FALSE(fs::exists(Path + "-wal"));
    fs::resize_file(Path, fs::file_size(Path) / 2);
    ExpectSetAside(ReadBytes(Path));
}

TEST_F(DamagedBase, AnotherProgramsDatabaseIsSetAside) {
    {
        TSqlite other;
        other.Open(Path, 0);
        other.Exec("CREATE TABLE CLIENTS (NOM TEXT); PRAGMA user_version = 1");
    }
    ExpectSetAside(ReadBytes(Path));
}

TEST_F(DamagedBase, ANameAlreadyTakenIsNeverReplaced) {
    WriteBytes(Path, "abîmé");
    const std::string first = Base.Open(Path).SetAside;
    Base.Close();
    fs::remove(Path);
    // Damaged again, within the same second or not: the first one stays.
    WriteBytes(Path, "encore abîmé");
    const std::string second = Base.Open(Path).SetAside;
    EXPECT_NE(second, first);
    EXPECT_EQ(ReadBytes(first), "abîmé");
    EXPECT_EQ(ReadBytes(second), "encore abîmé");
}

// ---- a base shared with another program

TEST_F(LocalBaseTest, AWriterWaitsForTheOtherThenGivesUpWithTheReasonWhileReadingGoesOn) {
    Fill();
    TLocalBase::TOpenOptions options;
    options.BusyTimeoutMs = 50;
    Base.Open(Path, options);
    Base.Store(Info(1201), Tables);
    TSqlite other;
    other.Open(Path, 0);
    other.Exec("BEGIN IMMEDIATE");
    other.Exec("UPDATE COMPETITIONS SET TITRE = 'en cours'");
    Add(Tables.Phases, {{"IDPHASE", 3}, {"NOMPHASE", "Phase 3"}});
    EXPECT_EQ(Failure([&] { Base.Store(Info(1201), Tables); }), m::Busy(Path));
    // The other's change is not seen before it is committed; the list is read all the same.
    ASSERT_EQ(Base.List().size(), 1u);
    EXPECT_EQ(Base.List()[0].Title, Info(1201).Title);
    EXPECT_EQ(Base.Read(1201, Tables).Rows[BasePhases].size(), 2u);
    other.Exec("ROLLBACK");
    Base.Store(Info(1201), Tables);
    EXPECT_EQ(Base.Read(1201, Tables).Rows[BasePhases].size(), 3u);
}

TEST_F(LocalBaseTest, ABaseHeldWholeByAnotherProgramIsToldBusyNotSetAside) {
    Base.Open(Path);
    Base.Close();
    TSqlite other;
    other.Open(Path, 0);
    other.Exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE");
    TLocalBase::TOpenOptions options;
    options.BusyTimeoutMs = 50;
    EXPECT_EQ(Failure([&] { Base.Open(Path, options); }), m::Busy(Path));
    EXPECT_FALSE(Base.IsOpen());
    other.Exec("COMMIT");
    other.Close();
    EXPECT_TRUE(Base.Open(Path, options).SetAside.empty());
}

// ---- competitions

TEST_F(LocalBaseTest, ACompetitionIsReadBackValueForValueInItsRowOrder) {
    Fill();
    Base.Open(Path);
    Base.Store(Info(1201), Tables);
    const TStoredCompet stored = Base.Read(1201, Tables);
    TLocalCompet expected = Info(1201);
    expected.Registrants = 2;
    expected.Matches = 2;
    EXPECT_EQ(stored.Info, expected);
    ASSERT_EQ(stored.Rows.size(), BaseTables().size());
    for (std::size_t t = 0; t < BaseTables().size(); ++t) {
        const TBaseTable& table = BaseTables()[t];
        EXPECT_EQ(stored.Rows[t], Rows(Tables.*table.Table, table.Columns)) << table.Name;
    }
    // The sign of a zero and the exact double survive.
    const TValue coef = stored.Rows[BaseMatchs][0][BaseColumn(BaseMatchs, "COEFBD")];
    EXPECT_TRUE(std::signbit(std::get<double>(coef)));
    EXPECT_TRUE(IsNull(stored.Rows[BaseMatchs][1][BaseColumn(BaseMatchs, "LICENCE1")]));
}

TEST_F(LocalBaseTest, StoringAgainReplacesThatCompetitionAloneAndTheListShowsTheLatestFirst) {
    Fill();
    Base.Open(Path);
    Base.Store(Info(1201, "http://a/3bandes", 46000.0), Tables);
    Base.Store(Info(2201, "http://a/cadre", 46001.0), Tables);
    Tables.Matchs.Last();
    Tables.Matchs.Delete();
    Base.Store(Info(1201, "http://b/3bandes", 46002.0), Tables);
    const std::vector<TLocalCompet> list = Base.List();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Id, 1201);
    EXPECT_EQ(list[0].Origin, "http://b/3bandes");
    EXPECT_EQ(list[0].Matches, 1);
    EXPECT_EQ(list[1].Id, 2201);
    EXPECT_EQ(list[1].Matches, 2);
    EXPECT_EQ(Base.Read(1201, Tables).Rows[BaseMatchs].size(), 1u);
    EXPECT_EQ(Base.Read(2201, Tables).Rows[BaseMatchs].size(), 2u);
    EXPECT_EQ(Base.Connection().QueryInt("SELECT COUNT(*) FROM MATCHS"), 3);
}

TEST_F(LocalBaseTest, AStoreStoppedHalfWayLeavesThePreviousCopy) {
    Fill();
    Base.Open(Path);
    Base.Store(Info(1201), Tables);
    Add(Tables.Inscrits, {{"LICENCE", 99}, {"NOM", "NOUVEAU"}, {"RGA", 3}});
    Base.OnStoreStage = [](std::string_view stage) {
        if (stage == "JOUEURS") throw Error("arrêt");
    };
    EXPECT_EQ(Failure([&] { Base.Store(Info(1201), Tables); }), "arrêt");
    Base.OnStoreStage = nullptr;
    EXPECT_EQ(Base.Find(1201)->Registrants, 2);
    EXPECT_EQ(Base.Read(1201, Tables).Rows[BaseInscrits].size(), 2u);
    EXPECT_EQ(Base.IntegrityCheck(), "ok");
}

TEST_F(LocalBaseTest, LocalCompetitionsTakeTheirOwnNumbersNeverGivenTwice) {
    Base.Open(Path);
    // The federation happened to use the first local number.
    Base.Store(Info(FirstLocalCompet), Tables);
    const std::int32_t first = Base.Create("Tournoi du club", "Libre", "2026-2027", 46100.0);
    EXPECT_EQ(first, FirstLocalCompet + 1);
    const std::int32_t second = Base.Create("Tournoi du club 2", "Cadre", "", 46101.0);
    EXPECT_EQ(second, FirstLocalCompet + 2);
    Base.Close();
    Base.Open(Path);
    EXPECT_EQ(Base.Create("Troisième", "Bande", "", 46102.0), FirstLocalCompet + 3);
    const TLocalCompet created = *Base.Find(first);
    EXPECT_TRUE(created.IsLocal());
    EXPECT_EQ(created.Title, "Tournoi du club");
    EXPECT_EQ(created.Discipline, "Libre");
    EXPECT_EQ(created.Season, "2026-2027");
    EXPECT_EQ(created.Changed, 46100.0);
    EXPECT_EQ(created.Registrants, 0);
    const TStoredCompet empty = Base.Read(first, Tables);
    for (const auto& rows : empty.Rows) EXPECT_TRUE(rows.empty());
}

TEST_F(LocalBaseTest, ACompetitionOfThisComputerAndOneOfAServerNeverReplaceEachOther) {
    Fill();
    Base.Open(Path);
    const std::int32_t local = Base.Create("Tournoi du club", "Libre", "", 46100.0);
    EXPECT_EQ(Failure([&] { Base.Store(Info(local), Tables); }), m::HoldsLocal(local));
    Base.Store(Info(1201), Tables);
    EXPECT_EQ(Failure([&] { Base.Store(Info(1201, ""), Tables); }), m::HoldsServer(1201, Info(1201).Origin));
    EXPECT_TRUE(Base.Find(local)->IsLocal());
    EXPECT_EQ(Base.Find(1201)->Origin, Info(1201).Origin);
    // Its own kind replaces it.
    Base.Store(Info(local, ""), Tables);
    EXPECT_EQ(Base.Find(local)->Matches, 2);
}

TEST_F(LocalBaseTest, WhatTheBaseCannotGiveIsToldInFrench) {
    EXPECT_EQ(Failure([&] { Base.List(); }), m::NotOpen);
    Base.Open(Path);
    EXPECT_EQ(Failure([&] { Base.Read(4242, Tables); }), m::NotInBase(4242));
    EXPECT_FALSE(Base.Find(4242).has_value());
    Fill();
    Base.Store(Info(1201), Tables);
    // A number beyond what the program's tables hold is damage, not a wrong number.
    Base.Connection().Exec("UPDATE INSCRITS SET LICENCE = 5000000000 WHERE SEQ = 0");
    EXPECT_EQ(Failure([&] { Base.Read(1201, Tables); }), m::BadValue(Path, "LICENCE"));
}

}  // namespace
}  // namespace tavlor
