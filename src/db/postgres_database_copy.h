#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct sqlite3;

namespace lumaref {

class PgConnection;

struct PostgresCopySummary {
    std::vector<std::string> tables;
    std::size_t rows = 0;
};

// Copies every table of an SQLite database onto the server: each becomes a table of the same name
// whose columns keep their kinds, sizes, NOT NULL and defaults, after an identity key that the
// record sets never show. Rows go by COPY ... FROM STDIN. Everything happens in one transaction,
// so a failure leaves the server as it was. A table that already exists there is refused unless
// `replace` is set. Throws Error.
PostgresCopySummary copySqliteToPostgres(sqlite3* source, PgConnection& target, bool replace);

// The rows of an SQLite table into the server's table of the same name and columns, replacing its
// rows unless `append`, by COPY ... FROM STDIN in one transaction. Returns the rows replaced.
std::size_t loadTableRows(sqlite3* source, const std::string& table, PgConnection& target, bool append);

// The CREATE TABLE that makes an SQLite table on the server, as the copy makes it: its columns' kinds,
// sizes, NOT NULL and defaults, after the identity key.
std::string postgresCreateTableSql(sqlite3* source, const std::string& table);

// Readers may SELECT the tables; administrators may also INSERT and UPDATE them. An empty role name
// grants nothing.
void grantTableRights(PgConnection& target, const std::vector<std::string>& tables,
                      const std::string& readers, const std::string& admins);

}  // namespace lumaref
