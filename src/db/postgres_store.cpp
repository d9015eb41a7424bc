#include "db/postgres_store.h"

#include <charconv>
#include <vector>

#include "db/postgres_table_load.h"
#include "db/postgres_values.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

const FieldInfo& fieldOf(const Table& snapshot, std::size_t column) {
    return snapshot.columns[column].info();
}

std::string placeholder(std::size_t number) { return "$" + std::to_string(number); }

// A post the server refuses says what the same refusal says with SQLite: a role that may not write
// reads as a read-only database, a lock that is not given up in time as a locked one.
PgResult post(PgConnection& connection, const std::string& sql,
              std::span<const std::optional<std::string_view>> params) {
    try {
        return connection.execPrepared(sql, params);
    } catch (const PgError& refused) {
        const std::string& state = refused.sqlState();
        if (state == "42501" || state == "25006") throw Error(kReadOnlyMessage);
        if (state == "55P03" || state == "40P01") throw Error(kLockedMessage);
        if (state == "53100") throw Error(kDiskFullMessage);
        throw;
    }
}

}  // namespace

std::unique_ptr<PostgresStore> PostgresStore::open(const std::string& conninfo, int lockTimeoutMs) {
    std::unique_ptr<PostgresStore> store(new PostgresStore(conninfo));
    store->setBusyTimeoutMs(lockTimeoutMs);
    store->readOnly_ = store->connection_.exec("SHOW transaction_read_only").value(0, 0) == "on";
    return store;
}

PostgresStore::PostgresStore(const std::string& conninfo) : connection_(conninfo) {}

LoadedTable PostgresStore::load(const std::string& table) {
    changes_.watch(table);
    PostgresTable loaded = loadPostgresTable(connection_, table);
    keyColumns_[table] = loaded.keyColumn;
    return std::move(loaded.loaded);
}

const std::string& PostgresStore::keyColumn(const std::string& table) {
    auto known = keyColumns_.find(table);
    if (known == keyColumns_.end())
        known = keyColumns_.emplace(table, loadPostgresTable(connection_, table).keyColumn).first;
    if (known->second.empty()) {
        throw Error("The table '" + table +
                    "' has no key column (an identity column), so its rows cannot be changed.");
    }
    return known->second;
}

// Only the changed fields are written, and only where they still hold what was read: IS NOT DISTINCT
// FROM, so a null read matches a null still there.
void PostgresStore::update(const std::string& table, const Table& snapshot, RowKey key,
                           std::span<const FieldChange> changes) {
    const std::string& keyName = keyColumn(table);
    std::string sets;
    std::string checks;
    std::vector<std::optional<std::string_view>> params;
    for (const auto& change : changes) {
        params.push_back(postgresParameter(fieldOf(snapshot, change.column), change.value));
        sets += (sets.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, change.column).name) + " = " +
                placeholder(params.size());
    }
    const std::string keyText = std::to_string(key);
    params.emplace_back(keyText);
    const std::string keyCheck = quoteIdentifier(keyName) + " = " + placeholder(params.size());
    for (const auto& change : changes) {
        params.push_back(postgresParameter(fieldOf(snapshot, change.column), change.original));
        checks += " AND " + quoteIdentifier(fieldOf(snapshot, change.column).name) +
                  " IS NOT DISTINCT FROM " + placeholder(params.size());
    }
    const PgResult result = post(
        connection_,
        withChangeNotice("UPDATE " + quoteIdentifier(table) + " SET " + sets + " WHERE " + keyCheck + checks,
                         table, keyName, quoteIdentifier(keyName)),
        params);
    if (result.affectedRows() == 0) throw Error(kRowConflictMessage);
}

// RETURNING reads the row back as stored, database defaults included, in the same statement; the
// row joins the snapshot only once the server has committed it.
RowKey PostgresStore::append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) {
    const std::string& keyName = keyColumn(table);
    std::string returned = quoteIdentifier(keyName);
    for (const auto& column : snapshot.columns) returned += ", " + quoteIdentifier(column.info().name);
    std::string sql = "INSERT INTO " + quoteIdentifier(table);
    std::vector<std::optional<std::string_view>> params;
    if (values.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names;
        std::string marks;
        for (const auto& value : values) {
            params.push_back(postgresParameter(fieldOf(snapshot, value.column), value.value));
            names += (names.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, value.column).name);
            marks += (marks.empty() ? "" : ", ") + placeholder(params.size());
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    const PgResult row = post(connection_, withChangeNotice(sql, table, keyName, returned), params);
    if (row.rows() != 1 || row.columns() != static_cast<int>(snapshot.columns.size()) + 1) {
        throw Error("The server did not return the appended row.");
    }
    RowKey key = 0;
    std::from_chars(row.value(0, 0).data(), row.value(0, 0).data() + row.value(0, 0).size(), key);
    for (std::size_t i = 0; i < snapshot.columns.size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        appendPostgresValue(snapshot.columns[i], row.isNull(0, at)
                                                     ? std::nullopt
                                                     : std::optional<std::string_view>(row.value(0, at)));
    }
    return key;
}

std::vector<TableChanges> PostgresStore::othersChanges() { return changes_.othersChanges(); }

LoadedTable PostgresStore::loadRows(const std::string& table, std::span<const RowKey> keys) {
    return std::move(loadPostgresTable(connection_, table, keys).loaded);
}

void PostgresStore::setBusyTimeoutMs(int ms) { connection_.exec("SET lock_timeout = " + std::to_string(ms)); }

}  // namespace lumaref
