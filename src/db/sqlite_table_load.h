#pragma once

#include <span>
#include <string>

#include "db/store.h"

struct sqlite3;

namespace lumaref {

// Every row of `table` into a column snapshot, each row known by its rowid. A table that does not
// exist throws missingTableMessage(table); any other failure throws SqliteError.
LoadedTable loadSqliteTable(sqlite3* db, const std::string& table);

// The rows of `table` whose rowids are among `keys` (ascending), in rowid order.
LoadedTable loadSqliteRows(sqlite3* db, const std::string& table, std::span<const RowKey> keys);

}  // namespace lumaref
