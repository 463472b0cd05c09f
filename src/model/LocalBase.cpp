#include "model/LocalBase.h"

#include "model/FilesMessages.h"
#include "model/LocalBaseMessages.h"
#include "text/Cp1252.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>
#include <limits>
#include <set>

namespace tavlor {

namespace m = msg::localbase;

namespace {

// A sound SQLite file that is not a base of the program.
struct TNotOurs {};

bool Damaged(int code) {
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

constexpr const char* CompetColumns = "IDCOMPET, TITRE, DISCIPLINE, SAISON, ORIGINE, MAJ, NBINSCRITS, NBMATCHS";

TLocalCompet CompetOf(const TSqlStatement& s) {
    TLocalCompet c;
    c.Id = static_cast<std::int32_t>(s.Int(0));
    c.Title = s.Text(1);
    c.Discipline = s.Text(2);
    c.Season = s.Text(3);
    c.Origin = s.Text(4);
    c.Changed = s.Double(5);
    c.Registrants = static_cast<std::int32_t>(s.Int(6));
    c.Matches = static_cast<std::int32_t>(s.Int(7));
    return c;
}

std::string JoinedColumns(const TBaseTable& table) {
    std::string columns;
    for (const char* column : table.Columns) {
        if (!columns.empty()) columns += ", ";
        columns += column;
    }
    return columns;
}

// The columns each table of the base must have.
std::vector<std::pair<std::string, std::vector<std::string>>> RequiredColumns() {
    std::vector<std::pair<std::string, std::vector<std::string>>> required = {
        {"COMPETITIONS", {"IDCOMPET", "TITRE", "DISCIPLINE", "SAISON", "ORIGINE", "MAJ", "NBINSCRITS", "NBMATCHS"}},
        {"PARAMETRES", {"CLE", "VALEUR"}},
    };
    for (const TBaseTable& t : BaseTables()) {
        std::vector<std::string> columns = {"IDCOMPET", "SEQ"};
        columns.insert(columns.end(), t.Columns.begin(), t.Columns.end());
        required.emplace_back(t.Name, std::move(columns));
    }
    return required;
}

}  // namespace

// ---- opening

TLocalBase::TOpened TLocalBase::Open(const std::string& path, const TOpenOptions& options) {
    Close();
    TOpened opened;
    try {
        OpenSound(path, options, opened);
        return opened;
    } catch (const TSqliteError& e) {
        Db_.Close();
        if (!Damaged(e.Code)) throw;
    } catch (const TNotOurs&) {
        Db_.Close();
    } catch (...) {
        Db_.Close();
        throw;
    }
    opened = TOpened{};
    opened.SetAside = SetAside(path);
    try {
        OpenSound(path, options, opened);
    } catch (const TNotOurs&) {
        Db_.Close();
        throw Error(m::Failed(path, m::Reason(SQLITE_CORRUPT)));
    } catch (...) {
        Db_.Close();
        throw;
    }
    return opened;
}

void TLocalBase::OpenSound(const std::string& path, const TOpenOptions& options, TOpened& opened) {
    Db_.Open(path, options.BusyTimeoutMs);
    Db_.Exec("PRAGMA foreign_keys = ON");
    // Nothing is written before the file is known to be a base of the
    // program: one set aside keeps the bytes it was found with.
    const std::vector<TMigration>& steps = options.Steps != nullptr ? *options.Steps : Migrations();
    // The first read of the file: garbage in place of a base fails here.
    const std::int64_t version = Db_.QueryInt("PRAGMA user_version");
    opened.FromVersion = static_cast<int>(version);
    if (version > steps.back().Version) {
        throw Error(m::NewerSchema(path, version));
    }
    if (Db_.QueryText("PRAGMA quick_check") != "ok") {
        throw TSqliteError(SQLITE_CORRUPT, m::Failed(path, m::Reason(SQLITE_CORRUPT)));
    }
    // A base before its first step is empty.
    if (version == 0 && Db_.QueryInt("SELECT COUNT(*) FROM sqlite_schema") != 0) throw TNotOurs{};
    Migrate(steps, opened);
    if (!SchemaIsOurs()) throw TNotOurs{};
    Db_.QueryText("PRAGMA journal_mode = WAL");
    // Each commit on disk before it returns, also against a power cut.
    Db_.Exec("PRAGMA synchronous = FULL");
}

void TLocalBase::Migrate(const std::vector<TMigration>& steps, TOpened& opened) {
    for (const TMigration& step : steps) {
        if (step.Version <= opened.FromVersion) continue;
        try {
            TSqlTransaction transaction(Db_);
            // Another program may have brought the base forward meanwhile.
            if (Db_.QueryInt("PRAGMA user_version") >= step.Version) continue;
            Db_.Exec(step.Sql);
            Db_.Exec("PRAGMA user_version = " + std::to_string(step.Version));
            transaction.Commit();
        } catch (const TSqliteError& e) {
            if (Damaged(e.Code) || e.Code == SQLITE_BUSY || e.Code == SQLITE_LOCKED) throw;
            throw Error(m::MigrationFailed(Db_.Path(), step.Version, m::Reason(e.Code)));
        }
    }
}

bool TLocalBase::SchemaIsOurs() {
    for (const auto& [table, columns] : RequiredColumns()) {
        TSqlStatement info(Db_, "SELECT name FROM pragma_table_info(?1)");
        info.BindText(1, table);
        std::set<std::string> present;
        while (info.Step()) present.insert(info.Text(0));
        for (const std::string& column : columns) {
            if (present.count(column) == 0) return false;
        }
    }
    return true;
}

std::string TLocalBase::SetAside(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = path + "." + m::DamagedLabel + "-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) continue;
            throw Error(m::CannotSetAside(path, msg::files::SystemReason(errno)));
        }
        // Its journal goes with it: SQLite reads "<name>-wal" as that file's
        // own, and a new base must not start from it.
        if (::rename((path + "-wal").c_str(), (aside + "-wal").c_str()) != 0 && errno != ENOENT) {
            ::unlink((path + "-wal").c_str());
        }
        ::unlink((path + "-shm").c_str());
        return aside;
    }
    throw Error(m::CannotSetAside(path, msg::files::SystemReason(EEXIST)));
}

void TLocalBase::Close() {
    Db_.Close();
}

void TLocalBase::RequireOpen() const {
    if (!Db_.IsOpen()) throw Error(m::NotOpen);
}

int TLocalBase::SchemaVersion() {
    RequireOpen();
    return static_cast<int>(Db_.QueryInt("PRAGMA user_version"));
}

std::string TLocalBase::IntegrityCheck() {
    RequireOpen();
    TSqlStatement check(Db_, "PRAGMA integrity_check");
    std::string result;
    while (check.Step()) {
        if (!result.empty()) result += "\n";
        result += check.Text(0);
    }
    return result;
}

// ---- the competitions

std::vector<TLocalCompet> TLocalBase::List() {
    RequireOpen();
    TSqlStatement list(Db_, std::string("SELECT ") + CompetColumns + " FROM COMPETITIONS ORDER BY MAJ DESC, IDCOMPET");
    std::vector<TLocalCompet> competitions;
    while (list.Step()) competitions.push_back(CompetOf(list));
    return competitions;
}

std::optional<TLocalCompet> TLocalBase::Find(std::int32_t id) {
    RequireOpen();
    TSqlStatement find(Db_, std::string("SELECT ") + CompetColumns + " FROM COMPETITIONS WHERE IDCOMPET = ?1");
    find.BindInt(1, id);
    if (!find.Step()) return std::nullopt;
    return CompetOf(find);
}

void TLocalBase::Store(const TLocalCompet& info, const TCompetTables& tables) {
    RequireOpen();
    TSqlTransaction transaction(Db_);
    if (const auto held = Find(info.Id); held && held->IsLocal() != info.IsLocal()) {
        throw Error(held->IsLocal() ? m::HoldsLocal(info.Id) : m::HoldsServer(info.Id, held->Origin));
    }
    {
        TSqlStatement compet(Db_, std::string("INSERT INTO COMPETITIONS (") + CompetColumns +
                                      ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT (IDCOMPET) DO UPDATE SET "
                                      "TITRE = excluded.TITRE, DISCIPLINE = excluded.DISCIPLINE, "
                                      "SAISON = excluded.SAISON, ORIGINE = excluded.ORIGINE, MAJ = excluded.MAJ, "
                                      "NBINSCRITS = excluded.NBINSCRITS, NBMATCHS = excluded.NBMATCHS");
        compet.BindInt(1, info.Id);
        compet.BindText(2, info.Title);
        compet.BindText(3, info.Discipline);
        compet.BindText(4, info.Season);
        compet.BindText(5, info.Origin);
        compet.BindDouble(6, info.Changed);
        compet.BindInt(7, static_cast<std::int64_t>(tables.Inscrits.Data().RowCount()));
        compet.BindInt(8, static_cast<std::int64_t>(tables.Matchs.Data().RowCount()));
        compet.Run();
    }
    for (const TBaseTable& table : BaseTables()) {
        TSqlStatement erase(Db_, std::string("DELETE FROM ") + table.Name + " WHERE IDCOMPET = ?1");
        erase.BindInt(1, info.Id);
        erase.Run();

        const TTableData& data = (tables.*table.Table).Data();
        std::vector<int> slots;
        std::string parameters = "?1, ?2";
        for (std::size_t c = 0; c < table.Columns.size(); ++c) {
            slots.push_back(data.FieldByName(table.Columns[c]).StorageIndex);
            parameters += ", ?" + std::to_string(c + 3);
        }
        TSqlStatement insert(Db_, std::string("INSERT INTO ") + table.Name + " (IDCOMPET, SEQ, " +
                                      JoinedColumns(table) + ") VALUES (" + parameters + ")");
        std::int64_t seq = 0;
        for (const TRow* row : data.RowsInInsertionOrder()) {
            insert.BindInt(1, info.Id);
            insert.BindInt(2, seq++);
            for (std::size_t c = 0; c < slots.size(); ++c) {
                insert.Bind(static_cast<int>(c + 3), row->Values[slots[c]]);
            }
            insert.Run();
        }
        if (OnStoreStage) OnStoreStage(table.Name);
    }
    if (OnStoreStage) OnStoreStage("COMMIT");
    transaction.Commit();
}

TStoredCompet TLocalBase::Read(std::int32_t id, const TCompetTables& shape) {
    RequireOpen();
    TSqlTransaction transaction(Db_, TSqlTransaction::TKind::Deferred);
    const auto info = Find(id);
    if (!info) throw Error(m::NotInBase(id));
    TStoredCompet stored;
    stored.Info = *info;
    for (const TBaseTable& table : BaseTables()) {
        const TTable& memory = shape.*table.Table;
        std::vector<const TFieldDef*> fields;
        for (const char* column : table.Columns) fields.push_back(&memory.FieldByName(column));
        TSqlStatement select(Db_, std::string("SELECT ") + JoinedColumns(table) + " FROM " + table.Name +
                                      " WHERE IDCOMPET = ?1 ORDER BY SEQ");
        select.BindInt(1, id);
        auto& rows = stored.Rows.emplace_back();
        while (select.Step()) {
            std::vector<TValue>& row = rows.emplace_back();
            row.reserve(fields.size());
            for (std::size_t c = 0; c < fields.size(); ++c) {
                TValue value = select.Value(static_cast<int>(c), fields[c]->Type);
                // As a table keeps a text it is given: Windows-1252 characters, the field's width.
                if (auto* s = std::get_if<std::string>(&value)) {
                    *s = text::ToCp1252Range(*s);
                    if (fields[c]->Size > 0) *s = text::Left(*s, static_cast<std::size_t>(fields[c]->Size));
                }
                row.push_back(std::move(value));
            }
        }
    }
    transaction.Commit();
    return stored;
}

std::int32_t TLocalBase::Create(const std::string& title, const std::string& discipline, const std::string& season,
                                double now, const std::vector<TStoredBillard>& billards) {
    RequireOpen();
    TSqlTransaction transaction(Db_);
    std::int64_t next = Db_.QueryInt("SELECT VALEUR FROM PARAMETRES WHERE CLE = 'PROCHAINLOCAL'");
    if (next < FirstLocalCompet) next = FirstLocalCompet;
    // A number the federation happened to use is left to it.
    TSqlStatement taken(Db_, "SELECT 1 FROM COMPETITIONS WHERE IDCOMPET = ?1");
    for (;; ++next) {
        if (next > std::numeric_limits<std::int32_t>::max()) throw Error(m::NoLocalNumber);
        taken.BindInt(1, next);
        const bool used = taken.Step();
        taken.Reset();
        if (!used) break;
    }
    TSqlStatement insert(
        Db_, std::string("INSERT INTO COMPETITIONS (") + CompetColumns + ") VALUES (?1, ?2, ?3, ?4, '', ?5, 0, 0)");
    insert.BindInt(1, next);
    insert.BindText(2, title);
    insert.BindText(3, discipline);
    insert.BindText(4, season);
    insert.BindDouble(5, now);
    insert.Run();
    TSqlStatement counter(Db_, "INSERT OR REPLACE INTO PARAMETRES (CLE, VALEUR) VALUES ('PROCHAINLOCAL', ?1)");
    counter.BindInt(1, next + 1);
    counter.Run();
    TSqlStatement billard(Db_, "INSERT INTO BILLARDS (IDCOMPET, SEQ, TAILLE, NOMBD) VALUES (?1, ?2, ?3, ?4)");
    std::int64_t seq = 0;
    for (const TStoredBillard& b : billards) {
        billard.BindInt(1, next);
        billard.BindInt(2, seq++);
        billard.BindInt(3, b.Size);
        billard.BindText(4, b.Label);
        billard.Run();
    }
    transaction.Commit();
    return static_cast<std::int32_t>(next);
}

std::vector<TStoredBillard> TLocalBase::ServerBillards() {
    RequireOpen();
    TSqlStatement select(Db_,
                         "SELECT TAILLE, NOMBD FROM BILLARDS WHERE IDCOMPET = (SELECT c.IDCOMPET FROM COMPETITIONS c "
                         "WHERE c.ORIGINE <> '' AND EXISTS (SELECT 1 FROM BILLARDS b WHERE b.IDCOMPET = c.IDCOMPET) "
                         "ORDER BY c.MAJ DESC, c.IDCOMPET LIMIT 1) AND TAILLE IS NOT NULL ORDER BY SEQ");
    std::vector<TStoredBillard> billards;
    while (select.Step()) {
        billards.push_back({static_cast<std::int32_t>(select.Int(0)), text::ToCp1252Range(select.Text(1))});
    }
    return billards;
}

std::optional<double> TLocalBase::ServerCoefficient(std::int32_t size) {
    RequireOpen();
    TSqlStatement select(Db_,
                         "SELECT m.COEFBD FROM MATCHS m JOIN COMPETITIONS c ON c.IDCOMPET = m.IDCOMPET "
                         "WHERE c.ORIGINE <> '' AND m.BD = ?1 AND typeof(m.COEFBD) IN ('real', 'integer') "
                         "ORDER BY c.MAJ DESC, c.IDCOMPET, m.SEQ DESC LIMIT 1");
    select.BindInt(1, size);
    if (!select.Step()) return std::nullopt;
    return select.Double(0);
}

std::vector<TKnownPlayer> TLocalBase::KnownPlayers() {
    RequireOpen();
    TSqlStatement select(Db_,
                         "SELECT i.LICENCE, i.NOM, c.TITRE FROM INSCRITS i JOIN COMPETITIONS c ON c.IDCOMPET = "
                         "i.IDCOMPET WHERE i.LICENCE IS NOT NULL ORDER BY c.MAJ DESC, c.IDCOMPET, i.SEQ");
    std::vector<TKnownPlayer> players;
    std::set<std::int64_t> seen;
    while (select.Step()) {
        // The most recent competition first: its name of the player is kept.
        if (!seen.insert(select.Int(0)).second) continue;
        players.push_back({static_cast<std::int32_t>(select.Int(0)), text::ToCp1252Range(select.Text(1)),
                           text::ToCp1252Range(select.Text(2))});
    }
    return players;
}

}  // namespace tavlor
