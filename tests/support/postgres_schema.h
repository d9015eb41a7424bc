#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref::test {

// A schema of its own on the server that libpq's environment names (PGHOST, PGPORT, PGUSER,
// PGDATABASE, as pg_virtualenv sets them), dropped with its roles when it goes. Tests that need a
// server skip when there is none; CI runs them under pg_virtualenv and fails if they skip.
class PostgresSchema {
public:
    // Why no server can be used (libpq's reason), or nullopt when one can; asked once per process.
    static std::optional<std::string> unavailableReason();

    PostgresSchema();
    ~PostgresSchema();
    PostgresSchema(const PostgresSchema&) = delete;
    PostgresSchema& operator=(const PostgresSchema&) = delete;

    const std::string& name() const { return name_; }
    // A libpq connection string whose tables are this schema's, acting as `role` when one is named.
    std::string conninfo(std::string_view role = {}) const;
    // Runs SQL in the schema as the connecting user; fails the test on error.
    void exec(std::string_view sql) const;
    // The first column of the first row of a query, as text ("" for null or no row).
    std::string queryText(std::string_view sql) const;
    // A role of this schema, dropped with it, that may use the schema and nothing in it yet; its name.
    std::string createRole(std::string_view suffix);
    // A role of this schema that may only read its tables; its name.
    std::string createReader();

private:
    std::string name_;
    std::vector<std::string> roles_;
};

}  // namespace lumaref::test
