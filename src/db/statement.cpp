#include "db/statement.h"

#include <sqlite3.h>

#include <climits>

#include "db/store.h"

namespace lumaref {

namespace {

int sizeArgument(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw SqliteError(nullptr, SQLITE_TOOBIG);
    return static_cast<int>(bytes.size());
}

}  // namespace

SqliteError::SqliteError(sqlite3* db, int status)
    : Error(providerMessage(db, status)),
      status_(status),
      sqliteText_(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status)) {}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int status = sqlite3_prepare_v2(db, sql.data(), sizeArgument(sql), &stmt_, nullptr);
    if (status != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw SqliteError(db, status);
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::fail(int status) const { throw SqliteError(db_, status); }

void Statement::bindNull(int index) {
    if (const int status = sqlite3_bind_null(stmt_, index); status != SQLITE_OK) fail(status);
}

void Statement::bindInt64(int index, std::int64_t value) {
    if (const int status = sqlite3_bind_int64(stmt_, index, value); status != SQLITE_OK) fail(status);
}

void Statement::bindDouble(int index, double value) {
    if (const int status = sqlite3_bind_double(stmt_, index, value); status != SQLITE_OK) fail(status);
}

void Statement::bindText(int index, std::string_view text) {
    const int status =
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    if (status != SQLITE_OK) fail(status);
}

void Statement::bindBlob(int index, std::string_view bytes) {
    const int status = sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_STATIC);
    if (status != SQLITE_OK) fail(status);
}

bool Statement::step() {
    const int status = sqlite3_step(stmt_);
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) return false;
    // The error belongs to this step: read it before a reset can replace it.
    SqliteError error(db_, status);
    sqlite3_reset(stmt_);
    throw error;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

std::string_view Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name != nullptr ? name : "";
}

std::string_view Statement::declaredType(int column) const {
    const char* type = sqlite3_column_decltype(stmt_, column);
    return type != nullptr ? type : "";
}

ValueType Statement::columnType(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return ValueType::Integer;
        case SQLITE_FLOAT:
            return ValueType::Real;
        case SQLITE_TEXT:
            return ValueType::Text;
        case SQLITE_BLOB:
            return ValueType::Blob;
        default:
            return ValueType::Null;
    }
}

std::int64_t Statement::columnInt64(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::columnDouble(int column) const { return sqlite3_column_double(stmt_, column); }

std::string_view Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr) return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

std::string_view Statement::columnBlob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    if (bytes == nullptr) return {};
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

void exec(sqlite3* db, std::string_view sql) {
    // sqlite3_exec needs a terminated text; a view of a literal is one, any other view is copied.
    const std::string text(sql);
    if (const int status = sqlite3_exec(db, text.c_str(), nullptr, nullptr, nullptr); status != SQLITE_OK) {
        throw SqliteError(db, status);
    }
}

std::int64_t changedRows(sqlite3* db) { return sqlite3_changes64(db); }

std::int64_t lastInsertRowId(sqlite3* db) { return sqlite3_last_insert_rowid(db); }

bool inTransaction(sqlite3* db) { return sqlite3_get_autocommit(db) == 0; }

Transaction::Transaction(sqlite3* db, Lock lock) : db_(db) {
    exec(db_, lock == Lock::Immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    // A failed COMMIT may already have ended the transaction; ROLLBACK then has nothing to do.
    if (open_ && inTransaction(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    exec(db_, "COMMIT");
    open_ = false;
}

std::string providerMessage(sqlite3* db, int status) {
    switch (status & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return kLockedMessage;
        case SQLITE_READONLY:
            return kReadOnlyMessage;
        case SQLITE_FULL:
            return kDiskFullMessage;
        case SQLITE_NOTADB:
            return "The file is not a database file.";
        case SQLITE_CORRUPT:
            return "The database file is damaged (" +
                   std::string(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status)) + ").";
        default:
            return db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status);
    }
}

std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace lumaref
