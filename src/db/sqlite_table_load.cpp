#include "db/sqlite_table_load.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "db/declared_type.h"
#include "db/statement.h"
#include "db/stored_values.h"

namespace lumaref {

namespace {

constexpr std::int64_t kMaxReservedRows = 50'000'000;
constexpr std::size_t kSampleRows = 1024;

std::unique_ptr<Statement> selectAll(sqlite3* db, const std::string& table) {
    try {
        return std::make_unique<Statement>(db, "SELECT rowid, * FROM " + quoteIdentifier(table));
    } catch (const SqliteError& failure) {
        if (failure.sqliteText().rfind("no such table", 0) == 0) throw Error(missingTableMessage(table));
        throw;
    }
}

// Rows are never deleted, so the largest rowid is a close guess of the row count.
std::size_t expectedRows(sqlite3* db, const std::string& table) {
    Statement last(db, "SELECT max(rowid) FROM " + quoteIdentifier(table));
    if (!last.step()) return 0;
    return static_cast<std::size_t>(std::clamp<std::int64_t>(last.columnInt64(0), 0, kMaxReservedRows));
}

}  // namespace

LoadedTable loadSqliteTable(sqlite3* db, const std::string& table) {
    const std::unique_ptr<Statement> select = selectAll(db, table);
    LoadedTable loaded;
    std::vector<Column>& columns = loaded.table.columns;
    const int columnCount = select->columnCount();
    std::vector<bool> storesText;
    for (int i = 1; i < columnCount; ++i) {
        const std::string_view declared = select->declaredType(i);
        columns.emplace_back(fieldFromDeclaredType(std::string(select->columnName(i)), declared));
        storesText.push_back(columns.back().kind() == FieldKind::Text && hasTextAffinity(declared));
    }
    // The row count and, from the first rows, the text sizes are guessed ahead: both spare the copies
    // of growing a million-row load.
    const std::size_t expected = expectedRows(db, table);
    for (auto& column : columns) column.reserve(expected, 0);
    std::vector<RowKey>& keys = loaded.keys;
    keys.reserve(expected);

    // The hot loop of every open: straight SQLite calls, one per cell.
    sqlite3_stmt* rows = select->handle();
    int status = SQLITE_OK;
    while ((status = sqlite3_step(rows)) == SQLITE_ROW) {
        if (keys.size() == kSampleRows && expected > 2 * kSampleRows) {
            for (auto& column : columns) {
                const double perRow = static_cast<double>(column.textBytes()) / kSampleRows;
                column.reserve(expected,
                               static_cast<std::size_t>(perRow * 1.05 * static_cast<double>(expected)));
            }
        }
        keys.push_back(sqlite3_column_int64(rows, 0));
        for (int i = 1; i < columnCount; ++i) {
            const auto column = static_cast<std::size_t>(i - 1);
            if (storesText[column]) {
                appendStoredText(columns[column], rows, i);
            } else {
                appendStoredValue(columns[column], rows, i);
            }
        }
    }
    if (status != SQLITE_DONE) throw SqliteError(db, status);
    for (auto& column : columns) column.shrinkToFit();
    keys.shrink_to_fit();
    return loaded;
}

}  // namespace lumaref
