#include "support/postgres_schema.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "db/postgres_connection.h"
#include "text/error.h"

namespace lumaref::test {

namespace {

int nextSchemaNumber() {
    static int number = 0;
    return ++number;
}

}  // namespace

std::optional<std::string> PostgresSchema::unavailableReason() {
    static const std::optional<std::string> reason = []() -> std::optional<std::string> {
        try {
            PgConnection probe("");
            return std::nullopt;
        } catch (const Error& failure) {
            return std::string(failure.what());
        }
    }();
    return reason;
}

PostgresSchema::PostgresSchema()
    : name_("lumaref_test_" + std::to_string(::getpid()) + "_" + std::to_string(nextSchemaNumber())) {
    PgConnection("").exec("CREATE SCHEMA " + name_);
}

PostgresSchema::~PostgresSchema() {
    try {
        PgConnection admin("");
        admin.exec("SET client_min_messages = warning");
        admin.exec("DROP SCHEMA " + name_ + " CASCADE");
        // What the roles were granted went with the schema's tables.
        for (const auto& role : roles_) admin.exec("DROP ROLE " + role);
    } catch (const Error& failure) {
        ADD_FAILURE() << "the schema " << name_ << " was not dropped: " << failure.what();
    }
}

std::string PostgresSchema::conninfo(std::string_view role) const {
    std::string options = "-c search_path=" + name_;
    if (!role.empty()) options += " -c role=" + std::string(role);
    return "options='" + options + "'";
}

void PostgresSchema::exec(std::string_view sql) const {
    try {
        PgConnection(conninfo()).exec(std::string(sql));
    } catch (const Error& failure) {
        ADD_FAILURE() << failure.what() << "\n  in: " << sql;
    }
}

std::string PostgresSchema::queryText(std::string_view sql) const {
    try {
        PgConnection connection(conninfo());
        const PgResult result = connection.exec(std::string(sql));
        return result.rows() > 0 && !result.isNull(0, 0) ? std::string(result.value(0, 0)) : std::string();
    } catch (const Error& failure) {
        ADD_FAILURE() << failure.what() << "\n  in: " << sql;
        return {};
    }
}

std::string PostgresSchema::createRole(std::string_view suffix) {
    std::string role = name_ + "_" + std::string(suffix);
    exec("CREATE ROLE " + role + " NOLOGIN; GRANT USAGE ON SCHEMA " + name_ + " TO " + role);
    roles_.push_back(role);
    return role;
}

std::string PostgresSchema::createReader() {
    std::string reader = createRole("reader");
    exec("GRANT SELECT ON ALL TABLES IN SCHEMA " + name_ + " TO " + reader);
    return reader;
}

}  // namespace lumaref::test
