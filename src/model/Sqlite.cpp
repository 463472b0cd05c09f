#include "model/Sqlite.h"

#include "model/LocalBaseMessages.h"

#include <sqlite3.h>

#include <limits>

namespace tavlor {

// ---- the connection

TSqlite::~TSqlite() {
    Close();
}

void TSqlite::Open(const std::string& path, int busyTimeoutMs) {
    Close();
    Path_ = path;
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        Fail(rc);
    }
    Db_ = db;
    sqlite3_extended_result_codes(Db_, 0);
    sqlite3_busy_timeout(Db_, busyTimeoutMs);
}

void TSqlite::Close() {
    if (Db_ != nullptr) {
        // Statements are finalized by their owners first; v2 waits for any left.
        sqlite3_close_v2(Db_);
        Db_ = nullptr;
    }
}

void TSqlite::Fail(int code) const {
    code &= 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        throw TSqliteError(code, msg::localbase::Busy(Path_));
    }
    throw TSqliteError(code, msg::localbase::Failed(Path_, msg::localbase::Reason(code)));
}

void TSqlite::Exec(std::string_view sql) {
    const int rc = sqlite3_exec(Db_, std::string(sql).c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc);
}

std::int64_t TSqlite::QueryInt(std::string_view sql) {
    TSqlStatement s(*this, sql);
    return s.Step() ? s.Int(0) : 0;
}

std::string TSqlite::QueryText(std::string_view sql) {
    TSqlStatement s(*this, sql);
    return s.Step() ? s.Text(0) : std::string();
}

// ---- statements

TSqlStatement::TSqlStatement(TSqlite& db, std::string_view sql) : Db_(db) {
    const int rc = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &Stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(Stmt_);
        Stmt_ = nullptr;
        db.Fail(rc);
    }
}

TSqlStatement::~TSqlStatement() {
    sqlite3_finalize(Stmt_);
}

void TSqlStatement::BindNull(int index) {
    if (const int rc = sqlite3_bind_null(Stmt_, index); rc != SQLITE_OK) Db_.Fail(rc);
}

void TSqlStatement::BindInt(int index, std::int64_t value) {
    if (const int rc = sqlite3_bind_int64(Stmt_, index, value); rc != SQLITE_OK) Db_.Fail(rc);
}

void TSqlStatement::BindDouble(int index, double value) {
    if (const int rc = sqlite3_bind_double(Stmt_, index, value); rc != SQLITE_OK) Db_.Fail(rc);
}

void TSqlStatement::BindText(int index, std::string_view value) {
    const int rc = sqlite3_bind_text64(Stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) Db_.Fail(rc);
}

void TSqlStatement::Bind(int index, const TValue& value) {
    if (const auto* i = std::get_if<std::int32_t>(&value)) {
        BindInt(index, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        BindDouble(index, *d);
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        BindText(index, *s);
    } else {
        BindNull(index);
    }
}

bool TSqlStatement::Step() {
    const int rc = sqlite3_step(Stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // The statement's own code is the reliable one after a failed step.
    const int code = sqlite3_reset(Stmt_);
    Db_.Fail(code != SQLITE_OK ? code : rc);
}

void TSqlStatement::Reset() {
    sqlite3_reset(Stmt_);
    sqlite3_clear_bindings(Stmt_);
}

void TSqlStatement::Run() {
    Step();
    Reset();
}

bool TSqlStatement::IsNull(int column) const {
    return sqlite3_column_type(Stmt_, column) == SQLITE_NULL;
}

std::int64_t TSqlStatement::Int(int column) const {
    return sqlite3_column_int64(Stmt_, column);
}

double TSqlStatement::Double(int column) const {
    return sqlite3_column_double(Stmt_, column);
}

std::string TSqlStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt_, column));
    const int size = sqlite3_column_bytes(Stmt_, column);
    return text != nullptr ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

TValue TSqlStatement::Value(int column, TFieldType type) const {
    const int kind = sqlite3_column_type(Stmt_, column);
    if (kind == SQLITE_NULL) return TValue();
    switch (type) {
        case TFieldType::Integer:
            if (kind == SQLITE_INTEGER) {
                const std::int64_t v = Int(column);
                if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max()) {
                    return TValue(static_cast<std::int32_t>(v));
                }
            }
            break;
        case TFieldType::Float:
        case TFieldType::DateTime:
            if (kind == SQLITE_FLOAT || kind == SQLITE_INTEGER) return TValue(Double(column));
            break;
        case TFieldType::String:
            if (kind == SQLITE_TEXT) return TValue(Text(column));
            break;
    }
    const char* name = sqlite3_column_name(Stmt_, column);
    throw TSqliteError(SQLITE_CORRUPT, msg::localbase::BadValue(Db_.Path(), name != nullptr ? name : "?"));
}

// ---- transactions

TSqlTransaction::TSqlTransaction(TSqlite& db, TKind kind) : Db_(db) {
    Db_.Exec(kind == TKind::Immediate ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
}

TSqlTransaction::~TSqlTransaction() {
    if (!Done_) {
        // Nothing to report: the changes are dropped whatever answers.
        sqlite3_exec(Db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void TSqlTransaction::Commit() {
    Db_.Exec("COMMIT");
    Done_ = true;
}

}  // namespace tavlor
