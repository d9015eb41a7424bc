#include "db/sqlite_change_log.h"

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <random>

#include "db/statement.h"

namespace lumaref {

namespace {

// Entries kept for connections that have not looked for a while; one that falls further behind reads
// every table again.
constexpr std::int64_t kKeptEntries = 65'536;
constexpr std::int64_t kPruneEvery = 4'096;

constexpr const char* kCreateLog =
    "CREATE TABLE IF NOT EXISTS lumaref_changes (seq INTEGER PRIMARY KEY, table_name TEXT NOT NULL, "
    "row_key INTEGER, writer INTEGER NOT NULL DEFAULT 0)";

std::string sqlLiteral(std::string_view text) {
    std::string literal = "'";
    for (const char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
    return literal + "'";
}

bool logExists(sqlite3* db) {
    Statement exists(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'lumaref_changes'");
    return exists.step();
}

// Not the writer of a load (0); positive, so it fits SQLite's integers.
std::int64_t newWriterMark() {
    std::random_device random;
    std::uniform_int_distribution<std::int64_t> marks(1, std::numeric_limits<std::int64_t>::max());
    return marks(random);
}

}  // namespace

void noteTableReplaced(sqlite3* db, std::string_view table) {
    exec(db, kCreateLog);
    Statement note(db, "INSERT INTO lumaref_changes (table_name, row_key, writer) VALUES (?1, NULL, 0)");
    note.bindText(1, table);
    note.step();
}

SqliteChangeFeed::SqliteChangeFeed(sqlite3* db) : db_(db), writer_(newWriterMark()) {
    dataVersion_ = dataVersion();
    if (logExists(db_)) {
        Statement last(db_, "SELECT max(seq) FROM lumaref_changes");
        if (last.step()) lastSeq_ = last.columnInt64(0);
    }
}

SqliteChangeFeed::~SqliteChangeFeed() = default;

std::int64_t SqliteChangeFeed::dataVersion() {
    if (!version_) version_ = std::make_unique<Statement>(db_, "PRAGMA data_version");
    const std::int64_t version = version_->step() ? version_->columnInt64(0) : 0;
    version_->reset();
    return version;
}

void SqliteChangeFeed::watch(const std::string& table) { watched_[table].newRows.reset(); }

// The trigger lives with this connection only (TEMP), so no other program meets it; it runs inside
// each UPDATE, so the entry commits with the change or not at all.
void SqliteChangeFeed::beforeUpdate(const std::string& table) {
    if (logged_.count(table) != 0) return;
    try {
        if (!logExists(db_)) exec(db_, kCreateLog);
        exec(db_,
             "CREATE TEMP TRIGGER IF NOT EXISTS lumaref_changes_pruned AFTER INSERT ON main.lumaref_changes "
             "WHEN new.seq % " +
                 std::to_string(kPruneEvery) +
                 " = 0 BEGIN DELETE FROM lumaref_changes WHERE seq <= new.seq - " +
                 std::to_string(kKeptEntries) + "; END");
        exec(db_, "CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdentifier("lumaref_changed_" + table) +
                      " AFTER UPDATE ON main." + quoteIdentifier(table) +
                      " BEGIN INSERT INTO lumaref_changes (table_name, row_key, writer) VALUES (" +
                      sqlLiteral(table) + ", new.rowid, " + std::to_string(writer_) + "); END");
        logged_.insert(table);
    } catch (const SqliteError&) {
        // A database busy or read-only now, a view: the update says what is wrong, or is not logged
        // and the next one tries again.
    }
}

void SqliteChangeFeed::loaded(const std::string& table, const std::vector<RowKey>& keys) {
    Watched& watched = watched_[table];
    watched.largestSeen = keys.empty() ? 0 : *std::max_element(keys.begin(), keys.end());
    std::erase_if(watched.ownAppends, [&](RowKey key) { return key <= watched.largestSeen; });
}

void SqliteChangeFeed::ownAppend(const std::string& table, RowKey key) {
    const auto found = watched_.find(table);
    if (found != watched_.end()) found->second.ownAppends.push_back(key);
}

void SqliteChangeFeed::readLog(std::map<std::string, TableChanges>& found) {
    if (!logExists(db_)) return;
    Statement bounds(db_, "SELECT min(seq), max(seq) FROM lumaref_changes");
    if (!bounds.step() || bounds.columnType(0) == ValueType::Null) return;
    const std::int64_t first = bounds.columnInt64(0);
    const std::int64_t last = bounds.columnInt64(1);
    // Entries this connection never read were pruned, or the log was made anew.
    if (first > lastSeq_ + 1 || last < lastSeq_) {
        for (const auto& [table, watched] : watched_) found[table].everyRow = true;
        lastSeq_ = last;
        return;
    }
    Statement entries(db_, "SELECT table_name, row_key FROM lumaref_changes WHERE seq > ?1 AND writer <> ?2");
    entries.bindInt64(1, lastSeq_);
    entries.bindInt64(2, writer_);
    while (entries.step()) {
        const std::string table(entries.columnText(0));
        if (watched_.count(table) == 0) continue;
        TableChanges& changes = found[table];
        if (entries.columnType(1) == ValueType::Null) {
            changes.everyRow = true;
        } else if (!changes.everyRow) {
            changes.keys.push_back(entries.columnInt64(1));
        }
    }
    lastSeq_ = last;
}

void SqliteChangeFeed::readNewRows(const std::string& table, Watched& watched, TableChanges& changes) {
    if (!watched.newRows) {
        try {
            watched.newRows = std::make_unique<Statement>(
                db_, "SELECT rowid FROM " + quoteIdentifier(table) + " WHERE rowid > ?1 ORDER BY rowid");
        } catch (const SqliteError&) {
            return;  // gone since its load; the record set keeps what it has
        }
    }
    Statement& rows = *watched.newRows;
    rows.bindInt64(1, watched.largestSeen);
    std::vector<RowKey> added;
    while (rows.step()) added.push_back(rows.columnInt64(0));
    rows.reset();
    if (added.empty()) return;
    watched.largestSeen = added.back();
    std::set_difference(added.begin(), added.end(), watched.ownAppends.begin(), watched.ownAppends.end(),
                        std::back_inserter(changes.keys));
    std::erase_if(watched.ownAppends, [&](RowKey key) { return key <= watched.largestSeen; });
}

std::vector<TableChanges> SqliteChangeFeed::othersChanges() {
    const std::int64_t version = dataVersion();
    if (version == dataVersion_) return {};
    dataVersion_ = version;
    std::map<std::string, TableChanges> found;
    {
        // One read transaction: the log and the new rows of one committed state.
        std::optional<Transaction> read;
        if (!inTransaction(db_)) read.emplace(db_);
        readLog(found);
        for (auto& [table, watched] : watched_) {
            TableChanges& changes = found[table];
            if (!changes.everyRow) readNewRows(table, watched, changes);
        }
        if (read) read->commit();
    }
    std::vector<TableChanges> changed;
    for (auto& [table, changes] : found) {
        if (!changes.everyRow && changes.keys.empty()) continue;
        changes.table = table;
        if (changes.everyRow) {
            changes.keys.clear();
        } else {
            std::sort(changes.keys.begin(), changes.keys.end());
            changes.keys.erase(std::unique(changes.keys.begin(), changes.keys.end()), changes.keys.end());
        }
        changed.push_back(std::move(changes));
    }
    return changed;
}

}  // namespace lumaref
