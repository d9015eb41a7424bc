#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/record_set.h"
#include "filter/column.h"

namespace lumaref::bench {

// What the benchmarks of one size share: the journal record set loaded once, the same file opened
// by plain SQLite, and (made on first use) the peers' own copies of the data.
class BenchState {
public:
    explicit BenchState(std::uint64_t journals);
    ~BenchState();
    BenchState(const BenchState&) = delete;
    BenchState& operator=(const BenchState&) = delete;

    std::uint64_t journals() const { return journals_; }
    const std::string& databasePath() const { return dbPath_; }
    Connection& connection() { return *connection_; }
    // "journals", open, filtering on with no filter text.
    RecordSet& journalSet() { return *journalSet_; }
    sqlite3* sqlite() { return sqlite_; }

    // The journals as a snapshot table of its own, for evaluating row by row.
    const Table& table();
    // Every title, lower-cased, each followed by a line feed: the bytes a plain scan reads.
    const std::string& lowerCaseTitles();

private:
    std::uint64_t journals_;
    std::string dbPath_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<RecordSet> journalSet_;
    sqlite3* sqlite_ = nullptr;
    std::unique_ptr<Table> table_;
    std::unique_ptr<std::string> titles_;
};

// The state of one size; the state of the size used before is dropped, so only one is in memory.
BenchState& stateFor(std::uint64_t journals);

// A prepared statement of the SQLite peer, stepped to the end to count its rows.
class SqliteQuery {
public:
    SqliteQuery(sqlite3* db, const char* sql);
    ~SqliteQuery();
    SqliteQuery(const SqliteQuery&) = delete;
    SqliteQuery& operator=(const SqliteQuery&) = delete;

    void bind(int index, std::string_view text);
    // Steps through every row (reading the first column's rowid), then resets.
    std::int64_t countRows();
    sqlite3_stmt* get() { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

std::string connectionStringFor(const std::string& dbPath);

}  // namespace lumaref::bench
