#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "db/store.h"

namespace lumaref {

class PgConnection;

// A table as the server holds it: its columns, its key column (an identity column, which the
// snapshot leaves out; empty when the table has none) and the rows, in key order.
struct PostgresTable {
    LoadedTable loaded;
    std::string keyColumn;
    std::vector<bool> defaulted;  // by column of the snapshot: whether the column has a default
};

// The table's columns from the catalogue, then every row by one COPY ... TO STDOUT; with `keys`
// (ascending), only the rows with those keys. A table that does not exist throws
// missingTableMessage(table); one the role may not read, noReadPermissionMessage(table).
PostgresTable loadPostgresTable(PgConnection& connection, const std::string& table,
                                std::optional<std::span<const RowKey>> keys = std::nullopt);

}  // namespace lumaref
