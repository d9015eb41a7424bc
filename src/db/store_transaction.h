#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;

namespace lumaref {

class Connection;
class PgConnection;

// Parameters of a statement as text; nullopt stands for null.
using SqlParams = std::span<const std::optional<std::string_view>>;
// One result row's columns as text; nullopt for null. Valid until the callback returns.
using SqlRow = std::span<const std::optional<std::string_view>>;

// The fields of the rows one append writes: each row's values in the order of its columns, then endRow().
// Text is taken without a copy: it must last until the append returns.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void text(std::optional<std::string_view> value) = 0;
    virtual void number(std::int64_t value) = 0;
    // An INTEGER PRIMARY KEY, the rows' keys rising by one from a first above every key the table holds:
    // SQLite is left to number such a row itself, which it does without searching the table.
    virtual void key(std::int64_t value) = 0;
    virtual void endRow() = 0;
};

// SQL in one transaction on whichever store holds the database, one text for both: what a load writes
// and what a look-up reads. Parameters are written $1, $2, ... numbered in the order of their first use.
// Failures throw Error (SqliteError, PgError) with the store's text.
class StoreTransaction {
public:
    virtual ~StoreTransaction() = default;
    // A statement that returns no rows; the rows it changed.
    virtual std::int64_t run(const std::string& sql, SqlParams params = {}) = 0;
    virtual void query(const std::string& sql, SqlParams params,
                       const std::function<void(SqlRow)>& onRow) = 0;
    // Rows added to `table`, their fields in the order of `columns`: prepared INSERTs into SQLite, one
    // COPY ... FROM STDIN onto a server.
    virtual void append(std::string_view table, std::span<const std::string_view> columns,
                        const std::function<void(RowSink&)>& rows) = 0;
    // Makes another load of `table` wait until this transaction ends, while readers go on. SQLite's
    // write lock, taken when the transaction began, already does.
    virtual void lockTable(std::string_view table) = 0;
    // Whether `table` (or a view) exists.
    virtual bool hasTable(std::string_view table) = 0;
    // Tells the windows open on the database, once this transaction commits, that every row of `table`
    // may have changed.
    virtual void noteReplaced(std::string_view table) = 0;
};

// Runs `work` in one transaction: committed when it returns, rolled back when it throws. An SQLite
// transaction takes the write lock at once, so two loads never interleave.
void inStoreTransaction(sqlite3* db, const std::function<void(StoreTransaction&)>& work);
void inStoreTransaction(PgConnection& connection, const std::function<void(StoreTransaction&)>& work);
// On the store of an open connection, whichever it is.
void inStoreTransaction(Connection& connection, const std::function<void(StoreTransaction&)>& work);

}  // namespace lumaref
