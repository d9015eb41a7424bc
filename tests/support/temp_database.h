#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaref::test {

// Creates an SQLite database at `path` holding the project's schema.sql, then runs `extraSql`.
void createDatabase(const std::string& path, std::string_view extraSql = {});
// Runs SQL on a database file through a connection of its own; fails the test on error.
void execSql(const std::string& path, std::string_view sql);
// The first column of the first row of a query, as text ("" for null or no row).
std::string queryText(const std::string& path, std::string_view sql);

// A text as an SQL string literal: single quotes, inner quotes doubled.
std::string sqlQuoted(std::string_view text);

// An INSERT into journals for a test row: values in table order, "NULL" as bare text is not special.
std::string journalInsert(std::string_view title, std::string_view category = "",
                          std::string_view subject = "", std::string_view frequency = "");

// One journal of a test database; index is 0 (none) or 1..4 for the four citation indexes.
struct TestJournal {
    const char* title;
    const char* category;
    const char* subject;
    const char* frequency;
    const char* issn = "";
    const char* eissn = "";
    const char* impactFactor = "";
    const char* quartile = "";
    int index = 0;
    const char* address = "";
};

std::string journalRowSql(const TestJournal& journal);

// A row of jcr2018 with the figures the impact-factor update copies.
struct TestRankingRow {
    const char* issn;
    const char* totalCites;
    const char* impactFactor;
    const char* withoutSelfCites;
};

// INSERTs into jcr2018, ranked in the given order.
std::string rankingRowsSql(const std::vector<TestRankingRow>& rows);
// INSERTs into JCRQ1..JCRQ4 (quartile 1..4), one row per ISSN in the given order.
std::string quartileRowsSql(int quartile, const std::vector<const char*>& issns);

}  // namespace lumaref::test
