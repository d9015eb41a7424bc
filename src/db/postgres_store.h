#pragma once

#include <map>
#include <memory>
#include <string>

#include "db/postgres_connection.h"
#include "db/postgres_notifications.h"
#include "db/store.h"

namespace lumaref {

// The identity column every table gets on the server: how the store knows a row; never a field.
inline constexpr const char* kPostgresKeyColumn = "lumaref_key";

// The store in a PostgreSQL database. Each post is one statement, so its own transaction unless the
// connection is already inside one. Rows are loaded by one COPY per table and filtered in memory.
class PostgresStore final : public Store {
public:
    // Throws Error "Could not connect to the database server: <reason>".
    static std::unique_ptr<PostgresStore> open(const std::string& conninfo, int lockTimeoutMs);

    LoadedTable load(const std::string& table) override;
    void update(const std::string& table, const Table& snapshot, RowKey key,
                std::span<const FieldChange> changes) override;
    RowKey append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) override;
    std::vector<TableChanges> othersChanges() override;
    LoadedTable loadRows(const std::string& table, std::span<const RowKey> keys) override;
    void setBusyTimeoutMs(int ms) override;
    bool readOnly() const override { return readOnly_; }

    // For bulk loads through COPY ... FROM STDIN.
    PgConnection& connection() { return connection_; }

private:
    explicit PostgresStore(const std::string& conninfo);
    // The key column of a table, known from its load or else from the catalogue; throws when the
    // table has none, since a row could not be told from another.
    const std::string& keyColumn(const std::string& table);

    PgConnection connection_;
    PostgresChangeFeed changes_{connection_};
    bool readOnly_ = false;
    std::map<std::string, std::string> keyColumns_;
};

}  // namespace lumaref
