#pragma once

#include "model/CompetTables.h"
#include "model/LocalBaseSchema.h"
#include "model/Sqlite.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// The first number of the competitions created on this computer. The
// federation numbers its competitions with the serial numbers of its own
// database, far below this; a competition created here takes the next
// number from here up, kept in the base and never given twice, so that
// neither its row in the base nor its snapshot files can meet those of a
// federation competition. (Numbers below 0 are not possible: -1 is "none".)
inline constexpr std::int32_t FirstLocalCompet = 1'000'000'000;

// A competition of the base, as the list shows it.
struct TLocalCompet {
    std::int32_t Id = -1;
    std::string Title;
    std::string Discipline;
    std::string Season;    // empty when not known
    std::string Origin;    // the address of the server it was downloaded from; empty: created here
    double Changed = 0.0;  // its download or last change (days since 1899-12-30, local time)
    std::int32_t Registrants = 0;
    std::int32_t Matches = 0;

    bool IsLocal() const { return Origin.empty(); }
    bool operator==(const TLocalCompet&) const = default;
};

// A billiard size of a competition, with its label.
struct TStoredBillard {
    std::int32_t Size = 0;
    std::string Label;
    bool operator==(const TStoredBillard&) const = default;
};

// A player the base knows from the registrants of its competitions: his name
// and the title of the competition, both from the most recently changed one.
struct TKnownPlayer {
    std::int32_t Licence = 0;
    std::string Name;
    std::string Competition;
    bool operator==(const TKnownPlayer&) const = default;
};

// A competition as the base holds it: for each table of BaseTables(), its
// rows in insertion order, each row the values of the table's Columns,
// typed as the memory table's fields.
struct TStoredCompet {
    TLocalCompet Info;
    std::vector<std::vector<std::vector<TValue>>> Rows;  // [TBaseTableId][row][column]
};

// The local base: one SQLite file that keeps every competition opened on this
// computer, so that it can be opened again without the server. It is opened
// in WAL mode with foreign keys on; each change is one transaction, and a
// program killed in the middle of one leaves the base as it was before it.
// Two programs may share it: one waits up to the busy timeout for the other
// to finish writing, then gives up with a French message; reading never
// waits for a writer.
class TLocalBase {
public:
    static constexpr const char* FileName = "tavlor.db";

    TLocalBase() = default;
    TLocalBase(const TLocalBase&) = delete;
    TLocalBase& operator=(const TLocalBase&) = delete;

    struct TOpenOptions {
        int BusyTimeoutMs = 3000;
        // The schema's steps; the program's own when null (tests give others).
        const std::vector<TMigration>* Steps = nullptr;
    };
    // What opening found.
    struct TOpened {
        // The damaged file's new name ("<file>.endommagé-<date>-<time>"),
        // empty when the file was sound.
        std::string SetAside;
        int FromVersion = 0;  // the schema version found (0: a new base)
    };
    // Opens the file, creating it when missing, and brings its schema to the
    // last version. A file that is no sound base of the program (garbage, cut,
    // another database) is renamed aside, with its journal, and a new base is
    // started in its place. Throws tavlor::Error with the reason in French
    // when the base cannot be opened: locked by another program for longer
    // than the busy timeout, made by a newer version of the program, a step
    // of the schema refused (the base stays as it was), a file that cannot be
    // set aside.
    TOpened Open(const std::string& path, const TOpenOptions& options);
    TOpened Open(const std::string& path) { return Open(path, TOpenOptions{}); }
    void Close();
    bool IsOpen() const { return Db_.IsOpen(); }
    const std::string& Path() const { return Db_.Path(); }
    int SchemaVersion();
    // "ok", or SQLite's list of the problems found.
    std::string IntegrityCheck();
    // The connection itself, for inspection and repair.
    TSqlite& Connection() { return Db_; }

    // Every competition, the most recently changed first.
    std::vector<TLocalCompet> List();
    std::optional<TLocalCompet> Find(std::int32_t id);
    // Writes the competition in one transaction, replacing the copy the base
    // had of it: the record info (Registrants and Matches counted from the
    // tables) and every row of the tables of BaseTables(). A competition
    // created here and one of a server never replace each other: that is
    // refused with the reason.
    void Store(const TLocalCompet& info, const TCompetTables& tables);
    // The competition's rows, read in one consistent state; shape gives the
    // fields' types. Throws when the base does not hold it.
    TStoredCompet Read(std::int32_t id, const TCompetTables& shape);
    // A new competition created here, without any row but its billiards:
    // answers its number.
    std::int32_t Create(const std::string& title, const std::string& discipline, const std::string& season, double now,
                        const std::vector<TStoredBillard>& billards = {});

    // What the servers' competitions taught the base. The billiards of the
    // most recently changed one that has any (a server gives every
    // competition the same list); empty when none.
    std::vector<TStoredBillard> ServerBillards();
    // The coefficient a server gave the matches played on this billiard
    // size, in the most recently changed competition that has one.
    std::optional<double> ServerCoefficient(std::int32_t size);
    // Every player registered in a competition of the base, once, by licence.
    std::vector<TKnownPlayer> KnownPlayers();

    // Called inside Store's transaction after each table's rows are written
    // (with the SQL table's name) and with "COMMIT" just before the commit:
    // for the tests that stop a program in the middle of a change.
    std::function<void(std::string_view stage)> OnStoreStage;

private:
    void OpenSound(const std::string& path, const TOpenOptions& options, TOpened& opened);
    void Migrate(const std::vector<TMigration>& steps, TOpened& opened);
    bool SchemaIsOurs();
    std::string SetAside(const std::string& path);
    void RequireOpen() const;

    TSqlite Db_;
};

}  // namespace tavlor
