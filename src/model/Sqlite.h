#pragma once

#include "model/TableDefs.h"
#include "text/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tavlor {

// A failure of the SQLite library, told in French with the base's path; Code
// is SQLite's primary result code, so that the base can tell a damaged file
// or a base held by another program from other failures.
class TSqliteError : public Error {
public:
    TSqliteError(int code, const std::string& text) : Error(text), Code(code) {}
    int Code;
};

// One connection to an SQLite file. Every failure throws TSqliteError.
class TSqlite {
public:
    TSqlite() = default;
    ~TSqlite();
    TSqlite(const TSqlite&) = delete;
    TSqlite& operator=(const TSqlite&) = delete;

    // Opens the file for reading and writing, creating it when missing. A
    // statement that finds the file locked by another connection waits up to
    // busyTimeoutMs before it fails with SQLITE_BUSY.
    void Open(const std::string& path, int busyTimeoutMs);
    void Close();
    bool IsOpen() const { return Db_ != nullptr; }
    const std::string& Path() const { return Path_; }

    // Runs statements that return no rows (several, separated by ";").
    void Exec(std::string_view sql);
    // The first column of the first row a statement returns (null: 0 or "").
    std::int64_t QueryInt(std::string_view sql);
    std::string QueryText(std::string_view sql);

    // Throws the error of a result code.
    [[noreturn]] void Fail(int code) const;
    sqlite3* Handle() const { return Db_; }

private:
    sqlite3* Db_ = nullptr;
    std::string Path_;
};

// A prepared statement. Parameters and columns count from 1 and 0, as in SQLite.
class TSqlStatement {
public:
    TSqlStatement(TSqlite& db, std::string_view sql);
    ~TSqlStatement();
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    void BindNull(int index);
    void BindInt(int index, std::int64_t value);
    void BindDouble(int index, double value);
    void BindText(int index, std::string_view value);
    // A table value as it is: null, integer, double or text.
    void Bind(int index, const TValue& value);

    // True when a row is there to read; false when the statement is done.
    bool Step();
    // Ready to run again, with its parameters cleared.
    void Reset();
    // Step() on a statement that returns no rows, then Reset().
    void Run();

    bool IsNull(int column) const;
    std::int64_t Int(int column) const;
    double Double(int column) const;
    std::string Text(int column) const;
    // The column read as a value of a table field of this type; a value of
    // another kind (text in a number, a number beyond 32 bits) is a damaged
    // base and throws.
    TValue Value(int column, TFieldType type) const;

private:
    TSqlite& Db_;
    sqlite3_stmt* Stmt_ = nullptr;
};

// A transaction over the scope, rolled back unless committed. Immediate takes
// the write lock at once (waiting for the busy timeout): a change never starts
// without being able to finish. Deferred is for reading several tables as
// one consistent state while another program writes.
class TSqlTransaction {
public:
    enum class TKind { Immediate, Deferred };
    explicit TSqlTransaction(TSqlite& db, TKind kind = TKind::Immediate);
    ~TSqlTransaction();
    TSqlTransaction(const TSqlTransaction&) = delete;
    TSqlTransaction& operator=(const TSqlTransaction&) = delete;
    void Commit();

private:
    TSqlite& Db_;
    bool Done_ = false;
};

}  // namespace tavlor
