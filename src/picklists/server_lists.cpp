#include "picklists/server_lists.h"

#include <optional>

#include "db/connection.h"
#include "db/postgres_connection.h"
#include "db/postgres_store.h"
#include "db/statement.h"
#include "db/store.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr const char* kCategories = "categories";
constexpr const char* kFrequencies = "frequencies";
constexpr const char* kSubjects = "subjects";

std::string table() { return quoteIdentifier(kServerListsTable); }

// The server's refusals in the program's words: no table yet, a role that may not read or not write.
template <class Work>
auto onServer(bool writing, Work work) {
    try {
        return work();
    } catch (const PgError& refused) {
        const std::string& state = refused.sqlState();
        if (state == "42P01") throw Error(kNoServerListsMessage);
        if (state == "42501" || state == "25006")
            throw Error(writing ? kReadOnlyMessage : noReadPermissionMessage(kServerListsTable));
        throw;
    }
}

// A text[] literal: every item quoted, with its quotes and backslashes escaped.
std::string arrayLiteral(const std::vector<std::string>& items) {
    std::string literal = "{";
    for (const std::string& item : items) {
        if (literal.size() > 1) literal += ',';
        literal += '"';
        for (const char c : item) {
            if (c == '"' || c == '\\') literal += '\\';
            literal += c;
        }
        literal += '"';
    }
    return literal + "}";
}

// nullopt: no such list.
std::optional<std::vector<std::string>> readList(PgConnection& server, std::string_view kind,
                                                 std::string_view category) {
    const std::optional<std::string_view> params[] = {kind, category};
    const PgResult rows = onServer(false, [&] {
        return server.execPrepared(
            "SELECT i.n IS NULL, i.item FROM " + table() +
                " l LEFT JOIN LATERAL unnest(l.items) WITH ORDINALITY AS i(item, n) ON true "
                "WHERE l.kind = $1 AND l.category = $2 ORDER BY i.n",
            params);
    });
    if (rows.rows() == 0) return std::nullopt;
    std::vector<std::string> items;
    if (rows.value(0, 0) == "t") return items;
    for (int row = 0; row < rows.rows(); ++row) items.emplace_back(rows.value(row, 1));
    return items;
}

void writeList(PgConnection& server, std::string_view kind, std::string_view category,
               const std::vector<std::string>& items) {
    const std::string array = arrayLiteral(items);
    const std::optional<std::string_view> params[] = {kind, category, std::string_view(array)};
    onServer(true, [&] {
        return server.execPrepared(
            "INSERT INTO " + table() +
                " (kind, category, items) VALUES ($1, $2, $3::text[]) ON CONFLICT (kind, "
                "category) DO UPDATE SET items = EXCLUDED.items",
            params);
    });
}

}  // namespace

void createServerListTable(PgConnection& connection, bool replace) {
    const std::string quoted = quoteIdentifier(kServerListsTable);
    const std::optional<std::string_view> name[] = {std::string_view(quoted)};
    const bool exists = !connection.execPrepared("SELECT to_regclass($1)", name).isNull(0, 0);
    if (exists && !replace) {
        throw Error("The table '" + std::string(kServerListsTable) +
                    "' already exists on the server; --force replaces it.");
    }
    if (exists) connection.exec("DROP TABLE " + table());
    connection.exec("CREATE TABLE " + table() +
                    " (kind text NOT NULL, category text NOT NULL DEFAULT '', items text[] NOT NULL, "
                    "PRIMARY KEY (kind, category))");
}

void storeServerLists(PgConnection& connection, const ListSet& lists) {
    connection.exec("DELETE FROM " + table());
    writeList(connection, kCategories, "", lists.categories);
    writeList(connection, kFrequencies, "", lists.frequencies);
    for (const auto& [category, subjects] : lists.subjects)
        writeList(connection, kSubjects, category, subjects);
}

PgConnection& ServerLists::server() {
    auto* store = dynamic_cast<PostgresStore*>(&connection_.store());
    if (store == nullptr)
        throw Error("The pick lists are kept on a server, but this database is not on one.");
    return store->connection();
}

std::vector<std::string> ServerLists::categories() {
    return readList(server(), kCategories, "").value_or(std::vector<std::string>());
}

std::vector<std::string> ServerLists::frequencies() {
    return readList(server(), kFrequencies, "").value_or(std::vector<std::string>());
}

std::optional<std::vector<std::string>> ServerLists::subjects(std::string_view category) {
    return readList(server(), kSubjects, category);
}

void ServerLists::beginRebuild() {
    PgConnection& connection = server();
    connection.exec("BEGIN");
    try {
        onServer(true,
                 [&] { return connection.exec("LOCK TABLE " + table() + " IN SHARE ROW EXCLUSIVE MODE"); });
    } catch (...) {
        abandonRebuild();
        throw;
    }
}

void ServerLists::finishRebuild() { server().exec("COMMIT"); }

void ServerLists::abandonRebuild() noexcept {
    try {
        PgConnection& connection = server();
        if (connection.inTransaction()) connection.exec("ROLLBACK");
    } catch (const Error&) {
        // The connection is gone; the server rolls back on its own.
    }
}

void ServerLists::writeCategories(const std::vector<std::string>& items) {
    writeList(server(), kCategories, "", items);
}

void ServerLists::writeSubjects(std::string_view category, const std::vector<std::string>& items) {
    writeList(server(), kSubjects, category, items);
}

void ServerLists::writeFrequencies(const std::vector<std::string>& items) {
    writeList(server(), kFrequencies, "", items);
}

}  // namespace lumaref
