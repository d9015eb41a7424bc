#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lumaref {

// A failure reported by SQLite: what() is the text a user sees (providerMessage), with the result
// code and SQLite's own wording kept for callers that tell one failure from another.
class SqliteError : public Error {
public:
    SqliteError(sqlite3* db, int status);
    int status() const { return status_; }
    int primaryStatus() const { return status_ & 0xff; }
    const std::string& sqliteText() const { return sqliteText_; }

private:
    int status_;
    std::string sqliteText_;
};

// The kind of value a result column holds in the current row.
enum class ValueType { Integer, Real, Text, Blob, Null };

// One prepared statement: bind, step, read. Parameters and columns count as SQLite counts them
// (parameters from 1, columns from 0). Every failure throws SqliteError.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Text and blobs are bound without a copy: the bytes must outlive the step that uses them.
    void bindNull(int index);
    void bindInt64(int index, std::int64_t value);
    void bindDouble(int index, double value);
    void bindText(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);

    // True while a row is ready to read; false once the statement has run to its end.
    bool step();
    // Ready to run again, bindings cleared.
    void reset();

    int columnCount() const;
    std::string_view columnName(int column) const;
    // The declared type of a table column ("" for an expression).
    std::string_view declaredType(int column) const;
    ValueType columnType(int column) const;
    std::int64_t columnInt64(int column) const;
    double columnDouble(int column) const;
    // Null reads as the empty text.
    std::string_view columnText(int column) const;
    std::string_view columnBlob(int column) const;

    sqlite3* database() const { return db_; }
    // For the record sets' hot loops inside db/ only.
    sqlite3_stmt* handle() const { return stmt_; }

private:
    [[noreturn]] void fail(int status) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Runs one or more statements that return no rows; throws SqliteError.
void exec(sqlite3* db, std::string_view sql);

// Rows changed by the last INSERT, UPDATE or DELETE, and the rowid of the last INSERT.
std::int64_t changedRows(sqlite3* db);
std::int64_t lastInsertRowId(sqlite3* db);
bool inTransaction(sqlite3* db);

// BEGIN on construction, ROLLBACK on destruction unless commit() succeeded: an exception between the
// two leaves the database as it was.
class Transaction {
public:
    enum class Lock { Deferred, Immediate };
    explicit Transaction(sqlite3* db, Lock lock = Lock::Deferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    sqlite3* db_;
    bool open_ = true;
};

// A database failure in words a user can act on; SQLite's own text where it is already clear.
std::string providerMessage(sqlite3* db, int status);

// "name" with inner double quotes doubled, for identifiers in SQL.
std::string quoteIdentifier(std::string_view name);

}  // namespace lumaref
