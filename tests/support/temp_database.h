#pragma once

#include <string>
#include <string_view>

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

}  // namespace lumaref::test
