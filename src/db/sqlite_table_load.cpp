#include "db/sqlite_table_load.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "db/declared_type.h"
#include "db/snapshot_reader.h"
#include "db/statement.h"
#include "db/stored_values.h"
#include "filter/two_thread_scan.h"

namespace lumaref {

namespace {

constexpr std::int64_t kMaxReservedRows = 50'000'000;
constexpr std::size_t kSampleRows = 1024;
// Below this a second reader costs more to open than it saves.
constexpr std::size_t kRowsWorthTwoReaders = 50'000;

std::string selectSql(const std::string& table, const char* where, bool keyed) {
    return std::string(keyed ? "SELECT rowid, * FROM " : "SELECT 0, * FROM ") + quoteIdentifier(table) +
           where;
}

std::unique_ptr<Statement> prepare(sqlite3* db, const std::string& table, const char* where = "",
                                   bool keyed = true) {
    try {
        return std::make_unique<Statement>(db, selectSql(table, where, keyed));
    } catch (const SqliteError& failure) {
        if (failure.sqliteText().rfind("no such table", 0) == 0) throw Error(missingTableMessage(table));
        throw;
    }
}

// A WITHOUT ROWID table (the figures from several sources) has no rowid to know a row by: its rows
// load in key order, each keyed 0, to be read and copied but never posted to.
bool keyedByRowid(sqlite3* db, const std::string& table) {
    Statement list(db, "SELECT wr FROM pragma_table_list WHERE schema = 'main' AND name = ?1");
    list.bindText(1, table);
    return !list.step() || list.columnInt64(0) == 0;
}

// Rows are never deleted, so the largest rowid is a close guess of the row count.
std::int64_t largestRowid(sqlite3* db, const std::string& table) {
    Statement last(db, "SELECT max(rowid) FROM " + quoteIdentifier(table));
    if (!last.step()) return 0;
    return std::clamp<std::int64_t>(last.columnInt64(0), 0, kMaxReservedRows);
}

// The columns a select reads, empty, and which of them SQLite keeps as text (one call fewer per cell).
struct Layout {
    std::vector<Column> columns;
    std::vector<bool> storesText;
};

Layout layoutOf(const Statement& select) {
    Layout layout;
    for (int i = 1; i < select.columnCount(); ++i) {
        const std::string_view declared = select.declaredType(i);
        layout.columns.emplace_back(fieldFromDeclaredType(std::string(select.columnName(i)), declared));
        layout.storesText.push_back(layout.columns.back().kind() == FieldKind::Text &&
                                    hasTextAffinity(declared));
    }
    return layout;
}

// Steps `select` to its end (its first step already taken when `status` is SQLITE_ROW), appending every
// row to `part`. The row count, and from the first rows the text sizes, are guessed ahead at
// `expected`: both spare the copies of growing a million-row load.
void readRows(sqlite3_stmt* rows, int status, LoadedTable& part, const std::vector<bool>& storesText,
              std::size_t expected) {
    std::vector<Column>& columns = part.table.columns;
    std::vector<RowKey>& keys = part.keys;
    for (auto& column : columns) column.reserve(expected, 0);
    keys.reserve(expected);
    const int columnCount = sqlite3_column_count(rows);
    // The hot loop of every open: straight SQLite calls, one per cell.
    for (; status == SQLITE_ROW; status = sqlite3_step(rows)) {
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
    if (status != SQLITE_DONE) throw SqliteError(sqlite3_db_handle(rows), status);
}

void finish(LoadedTable& loaded) {
    for (auto& column : loaded.table.columns) column.shrinkToFit();
    loaded.keys.shrink_to_fit();
}

// Appends `rest`, read after the rows of `loaded`, to it: each column's bytes stay where they were read.
void appendPart(LoadedTable& loaded, LoadedTable&& rest) {
    loaded.keys.insert(loaded.keys.end(), rest.keys.begin(), rest.keys.end());
    for (std::size_t i = 0; i < rest.table.columns.size(); ++i)
        loaded.table.columns[i].appendLoadedPart(std::move(rest.table.columns[i]));
}

// Both cores: the rows up to `split` on this connection and this thread, the rest on a second
// connection and thread. Each reader takes its first step while a SnapshotLock keeps every writer
// out, so both read the one state committed before the lock. Nullopt when that cannot be arranged
// (no second connection, the lock busy): the caller then reads on one thread.
std::optional<LoadedTable> loadOnTwoThreads(sqlite3* db, const std::string& table, std::int64_t split,
                                            std::size_t expected) {
    SqliteHandle second = openSecondReader(db);
    if (second == nullptr) return std::nullopt;
    const std::unique_ptr<Statement> lower = prepare(db, table, " WHERE rowid <= ?1");
    std::unique_ptr<Statement> upper;
    try {
        upper = prepare(second.get(), table, " WHERE rowid > ?1");
    } catch (const Error&) {
        return std::nullopt;
    }
    lower->bindInt64(1, split);
    upper->bindInt64(1, split);
    LoadedTable loaded;
    LoadedTable rest;
    loaded.keys.reserve(expected);  // room for the rest's keys too, appended after
    Layout layout = layoutOf(*lower);
    loaded.table.columns = std::move(layout.columns);
    rest.table.columns = layoutOf(*upper).columns;
    int lowerStatus = SQLITE_OK;
    int upperStatus = SQLITE_OK;
    {
        const std::unique_ptr<SnapshotLock> lock = SnapshotLock::acquire(db);
        if (lock == nullptr) return std::nullopt;
        lowerStatus = sqlite3_step(lower->handle());
        upperStatus = sqlite3_step(upper->handle());
    }
    runOnTwoThreads(
        [&] { readRows(lower->handle(), lowerStatus, loaded, layout.storesText, expected - expected / 2); },
        [&] { readRows(upper->handle(), upperStatus, rest, layout.storesText, expected / 2); });
    appendPart(loaded, std::move(rest));
    return loaded;
}

}  // namespace

LoadedTable loadSqliteTable(sqlite3* db, const std::string& table) {
    const bool keyed = keyedByRowid(db, table);
    const std::unique_ptr<Statement> select = prepare(db, table, "", keyed);
    const std::int64_t largest = keyed ? largestRowid(db, table) : 0;
    const auto expected = static_cast<std::size_t>(largest);
    if (expected >= kRowsWorthTwoReaders) {
        if (std::optional<LoadedTable> loaded = loadOnTwoThreads(db, table, largest / 2, expected)) {
            finish(*loaded);
            return std::move(*loaded);
        }
    }
    LoadedTable loaded;
    Layout layout = layoutOf(*select);
    loaded.table.columns = std::move(layout.columns);
    readRows(select->handle(), sqlite3_step(select->handle()), loaded, layout.storesText, expected);
    finish(loaded);
    return loaded;
}

// Runs of consecutive keys, as rows appended one after another come, are read by one range each.
LoadedTable loadSqliteRows(sqlite3* db, const std::string& table, std::span<const RowKey> keys) {
    const std::unique_ptr<Statement> select = prepare(db, table, " WHERE rowid BETWEEN ?1 AND ?2");
    LoadedTable loaded;
    Layout layout = layoutOf(*select);
    loaded.table.columns = std::move(layout.columns);
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t last = first;
        while (last + 1 < keys.size() && keys[last + 1] == keys[last] + 1) ++last;
        select->bindInt64(1, keys[first]);
        select->bindInt64(2, keys[last]);
        readRows(select->handle(), sqlite3_step(select->handle()), loaded, layout.storesText, 0);
        select->reset();
        first = last + 1;
    }
    return loaded;
}

}  // namespace lumaref
