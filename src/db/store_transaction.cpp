#include "db/store_transaction.h"

#include <sqlite3.h>

#include <memory>
#include <vector>

#include "db/connection.h"
#include "db/postgres_store.h"
#include "db/sqlite_change_log.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

void bindAll(Statement& statement, SqlParams params) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (params[i]) {
            statement.bindText(index, *params[i]);
        } else {
            statement.bindNull(index);
        }
    }
}

// Rows go in by INSERTs of many rows each: SQLite then opens its cursors and runs its statement once per
// batch rather than once per row, which is most of what a narrow row costs.
class SqliteRowSink final : public RowSink {
public:
    SqliteRowSink(sqlite3* db, std::string insertHead, std::string rowMarks, std::size_t columns)
        : db_(db), head_(std::move(insertHead)), marks_(std::move(rowMarks)), columns_(columns) {
        values_.reserve(columns_ * kBatchRows);
    }

    void text(std::optional<std::string_view> value) override { values_.push_back(Value{value, 0, true}); }
    void number(std::int64_t value) override { values_.push_back(Value{std::nullopt, value, false}); }
    void key(std::int64_t value) override {
        // The one SQLite gives a row without a key is the largest key so far plus one.
        if (keyed_ && value == lastKey_ + 1) {
            text(std::nullopt);
        } else {
            number(value);
        }
        keyed_ = true;
        lastKey_ = value;
    }
    void endRow() override {
        if (values_.size() == columns_ * kBatchRows) flush();
    }

    // The rows not yet written, in one statement of their own.
    void flush() {
        const std::size_t rows = values_.size() / columns_;
        if (rows == 0) return;
        std::unique_ptr<Statement>& insert = rows == kBatchRows ? full_ : rest_;
        if (insert == nullptr) {
            std::string sql = head_;
            for (std::size_t row = 0; row < rows; ++row) sql += (row == 0 ? "" : ", ") + marks_;
            insert = std::make_unique<Statement>(db_, sql);
        }
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const int index = static_cast<int>(i) + 1;
            const Value& value = values_[i];
            if (!value.isText) {
                insert->bindInt64(index, value.number);
            } else if (value.text) {
                insert->bindText(index, *value.text);
            } else {
                insert->bindNull(index);
            }
        }
        insert->step();
        insert->reset();
        values_.clear();
    }

private:
    static constexpr std::size_t kBatchRows = 64;
    struct Value {
        std::optional<std::string_view> text;
        std::int64_t number;
        bool isText;
    };

    sqlite3* db_;
    std::string head_;   // "INSERT INTO t (a, b) VALUES "
    std::string marks_;  // "(?, ?)"
    std::size_t columns_;
    std::vector<Value> values_;
    bool keyed_ = false;
    std::int64_t lastKey_ = 0;
    std::unique_ptr<Statement> full_;
    std::unique_ptr<Statement> rest_;
};

class SqliteTransaction final : public StoreTransaction {
public:
    explicit SqliteTransaction(sqlite3* db) : db_(db) {}

    std::int64_t run(const std::string& sql, SqlParams params) override {
        Statement statement(db_, sql);
        bindAll(statement, params);
        while (statement.step()) {
        }
        return changedRows(db_);
    }

    void query(const std::string& sql, SqlParams params, const std::function<void(SqlRow)>& onRow) override {
        Statement statement(db_, sql);
        bindAll(statement, params);
        std::vector<std::optional<std::string_view>> row(static_cast<std::size_t>(statement.columnCount()));
        while (statement.step()) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int column = static_cast<int>(i);
                row[i] = statement.columnType(column) == ValueType::Null
                             ? std::nullopt
                             : std::optional<std::string_view>(statement.columnText(column));
            }
            onRow(row);
        }
    }

    void append(std::string_view table, std::span<const std::string_view> columns,
                const std::function<void(RowSink&)>& rows) override {
        std::string names;
        std::string marks;
        for (const std::string_view column : columns) {
            names += (names.empty() ? "" : ", ") + quoteIdentifier(column);
            marks += marks.empty() ? "?" : ", ?";
        }
        // OR FAIL: a refused row ends the load, which rolls back whole, so SQLite need not keep a journal of
        // each statement to undo its rows one by one.
        SqliteRowSink sink(db_, "INSERT OR FAIL INTO " + quoteIdentifier(table) + " (" + names + ") VALUES ",
                           "(" + marks + ")", columns.size());
        rows(sink);
        sink.flush();
    }

    void lockTable(std::string_view) override {}

    void noteReplaced(std::string_view table) override { noteTableReplaced(db_, table); }

    bool hasTable(std::string_view table) override {
        Statement find(
            db_, "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE");
        find.bindText(1, table);
        return find.step();
    }

private:
    sqlite3* db_;
};

}  // namespace

void inStoreTransaction(sqlite3* db, const std::function<void(StoreTransaction&)>& work) {
    Transaction transaction(db, Transaction::Lock::Immediate);
    SqliteTransaction store(db);
    work(store);
    transaction.commit();
}

void inStoreTransaction(Connection& connection, const std::function<void(StoreTransaction&)>& work) {
    if (connection.handle() != nullptr) {
        inStoreTransaction(connection.handle(), work);
        return;
    }
    auto* server = dynamic_cast<PostgresStore*>(&connection.store());
    if (server == nullptr) throw Error("The database cannot take a load in one transaction.");
    inStoreTransaction(server->connection(), work);
}

}  // namespace lumaref
