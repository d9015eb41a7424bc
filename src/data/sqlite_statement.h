#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace lumaref {

// Owns one prepared statement.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    int status() const { return status_; }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int status_ = SQLITE_OK;
};

// A database failure in words a user can act on; SQLite's own text where it is already clear.
std::string providerMessage(sqlite3* db, int status);

// "name" with inner double quotes doubled, for identifiers in SQL.
std::string quoteIdentifier(std::string_view name);

}  // namespace lumaref
