#include "db/postgres_table_load.h"

#include <charconv>
#include <memory>

#include "db/postgres_connection.h"
#include "db/postgres_copy_text.h"
#include "db/postgres_values.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr const char* kColumnsSql =
    "SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attidentity <> '', a.atthasdef FROM "
    "pg_attribute a "
    "WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";

struct FreeCopyBuffer {
    void operator()(char* buffer) const { PgConnection::freeCopyRow(buffer); }
};

std::string selectedColumns(const PostgresTable& table) {
    std::string names = table.keyColumn.empty() ? "" : quoteIdentifier(table.keyColumn);
    for (const auto& column : table.loaded.table.columns)
        names += (names.empty() ? "" : ", ") + quoteIdentifier(column.info().name);
    return names;
}

}  // namespace

PostgresTable loadPostgresTable(PgConnection& connection, const std::string& table,
                                std::optional<std::span<const RowKey>> only) {
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> params[] = {std::string_view(quoted)};
    const PgResult columns = connection.execPrepared(kColumnsSql, params);
    if (columns.rows() == 0) throw Error(missingTableMessage(table));

    PostgresTable loaded;
    for (int i = 0; i < columns.rows(); ++i) {
        if (columns.value(i, 2) == "t" && loaded.keyColumn.empty()) {
            loaded.keyColumn = std::string(columns.value(i, 0));
        } else {
            loaded.loaded.table.columns.emplace_back(
                fieldFromPostgresType(std::string(columns.value(i, 0)), columns.value(i, 1)));
            loaded.defaulted.push_back(columns.value(i, 3) == "t");
        }
    }
    const bool keyed = !loaded.keyColumn.empty();
    const std::string order = keyed ? " ORDER BY " + quoteIdentifier(loaded.keyColumn) : "";
    std::string where;
    if (only) {
        if (!keyed)
            throw Error("The table '" + table + "' has no key column, so its rows cannot be read again.");
        where = " WHERE " + quoteIdentifier(loaded.keyColumn) + " = ANY ('{";
        for (std::size_t i = 0; i < only->size(); ++i)
            where += (i > 0 ? "," : "") + std::to_string((*only)[i]);
        where += "}'::bigint[])";
    }
    try {
        connection.exec("COPY (SELECT " + selectedColumns(loaded) + " FROM " + quoteIdentifier(table) +
                        where + order + ") TO STDOUT");
    } catch (const PgError& refused) {
        // A role without SELECT sees the catalogue, so the refusal comes only now.
        if (refused.sqlState() == "42501") throw Error(noReadPermissionMessage(table));
        throw;
    }

    // The hot loop of every open: one row per libpq call, its fields decoded in place.
    std::vector<Column>& snapshot = loaded.loaded.table.columns;
    std::vector<RowKey>& keys = loaded.loaded.keys;
    const std::size_t first = keyed ? 1 : 0;
    CopyRowReader row;
    char* raw = nullptr;
    int length = 0;
    while (connection.nextCopyRow(raw, length)) {
        const std::unique_ptr<char, FreeCopyBuffer> buffer(raw);
        row.read(std::string_view(raw, static_cast<std::size_t>(length)));
        if (row.size() != snapshot.size() + first) throw Error("The server sent a row of another shape.");
        RowKey key = static_cast<RowKey>(keys.size()) + 1;
        if (keyed && row.field(0))
            std::from_chars(row.field(0)->data(), row.field(0)->data() + row.field(0)->size(), key);
        keys.push_back(key);
        for (std::size_t i = 0; i < snapshot.size(); ++i)
            appendPostgresValue(snapshot[i], row.field(i + first));
    }
    for (auto& column : snapshot) column.shrinkToFit();
    keys.shrink_to_fit();
    return loaded;
}

}  // namespace lumaref
