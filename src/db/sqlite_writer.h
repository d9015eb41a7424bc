#pragma once

#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/statement_cache.h"
#include "db/store.h"
#include "db/stored_values.h"

struct sqlite3;

namespace lumaref {

// The SQLite store's posts: the optimistic UPDATE by rowid, and the INSERT with its read-back.
// Statements are kept by the table and fields they write, so each shape is compiled once.
class SqliteWriter {
public:
    explicit SqliteWriter(sqlite3* db);
    ~SqliteWriter();
    SqliteWriter(const SqliteWriter&) = delete;
    SqliteWriter& operator=(const SqliteWriter&) = delete;

    void update(const std::string& table, const Table& snapshot, RowKey key,
                std::span<const FieldChange> changes);
    RowKey append(const std::string& table, Table& snapshot, std::span<const FieldValue> values);

private:
    Statement& updateStatement(const std::string& table, const Table& snapshot,
                               std::span<const FieldChange> changes);
    Statement& insertStatement(const std::string& table, const Table& snapshot,
                               std::span<const FieldValue> values);
    // Null when the row cannot be read back; the snapshot then shows what was written.
    Statement* readBackStatement(const std::string& table);

    sqlite3* db_;
    StatementCache statements_;
    std::string key_;  // reused: finding a kept statement allocates nothing
    // One per table, apart from statements_, whose emptying would end them in the middle of a post.
    std::unordered_map<std::string, std::unique_ptr<Statement>> readBacks_;
    std::vector<StoredCell> stored_;  // the row read back, until its commit has succeeded
    std::unique_ptr<Statement> begin_;
    std::unique_ptr<Statement> commit_;
};

}  // namespace lumaref
