#pragma once

#include <string>
#include <string_view>

#include "demo_journal.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lumaref::demo {

// A new database file filled in one transaction through prepared statements.
// Throws lumaref::Error naming the file on any failure; the caller removes the partial file.
class DemoDatabase {
public:
    DemoDatabase(const std::string& path, std::string_view schemaSql);
    ~DemoDatabase();
    DemoDatabase(const DemoDatabase&) = delete;
    DemoDatabase& operator=(const DemoDatabase&) = delete;

    void addJournal(const Journal& journal);
    // A row of the ranking table; the second row of a duplicated ISSN carries other figures.
    void addRanking(int rank, const Journal& journal, bool secondRow);
    void addQuartile(int quartile, const Journal& journal);
    // Commits and closes the file.
    void finish();

private:
    void exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    void step(sqlite3_stmt* statement);
    [[noreturn]] void fail(std::string_view what) const;

    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* journal_ = nullptr;
    sqlite3_stmt* ranking_ = nullptr;
    sqlite3_stmt* quartile_[4] = {};
};

}  // namespace lumaref::demo
