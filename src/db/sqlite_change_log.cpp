#include "db/sqlite_change_log.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "db/statement.h"

namespace lumaref {

namespace {

// Entries kept for connections that have not looked for a while; one that falls further behind reads
// every table again.
constexpr std::int64_t kKeptEntries = 65'536;
constexpr std::int64_t kPruneEvery = 4'096;

constexpr const char* kCreateLog =
    "CREATE TABLE IF NOT EXISTS lumaref_changes (seq INTEGER PRIMARY KEY, table_name TEXT NOT NULL, "
    "row_key INTEGER, writer INTEGER NOT NULL DEFAULT 0); "
    "CREATE TABLE IF NOT EXISTS lumaref_watchers (writer INTEGER PRIMARY KEY, pid INTEGER NOT NULL, "
    "file TEXT NOT NULL)";

std::string sqlLiteral(std::string_view text) {
    std::string literal = "'";
    for (const char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
    return literal + "'";
}

bool logExists(sqlite3* db) {
    Statement exists(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'lumaref_changes'");
    return exists.step();
}

// Programs sharing an SQLite file run on one machine: a watcher whose process is gone ended without
// taking its registration back.
bool processGone(std::int64_t pid) { return ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH; }

// Which file this is, device and inode: a copy of the file made while a window had it open carries
// that window's registration, which means nothing for the copy.
std::string fileIdentity(sqlite3* db) {
    const char* path = sqlite3_db_filename(db, "main");
    struct stat status {};
    if (path == nullptr || ::stat(path, &status) != 0) return {};
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
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

SqliteChangeFeed::SqliteChangeFeed(sqlite3* db, bool writable)
    : db_(db), writable_(writable), writer_(newWriterMark()), file_(fileIdentity(db)) {
    dataVersion_ = dataVersion();
    if (logExists(db_)) {
        Statement last(db_, "SELECT max(seq) FROM lumaref_changes");
        if (last.step()) lastSeq_ = last.columnInt64(0);
    }
}

SqliteChangeFeed::~SqliteChangeFeed() {
    if (!registered_) return;
    try {
        Statement gone(db_, "DELETE FROM lumaref_watchers WHERE writer = ?1");
        gone.bindInt64(1, writer_);
        gone.step();
    } catch (const SqliteError&) {
        // Busy now: the next window to register finds this process gone and takes it out.
    }
}

void SqliteChangeFeed::registerAsWatcher() {
    if (registered_ || !writable_) return;
    try {
        Transaction registration(db_, Transaction::Lock::Immediate);
        exec(db_, kCreateLog);
        std::vector<std::int64_t> gone;
        {
            Statement watchers(db_, "SELECT writer, pid, file FROM lumaref_watchers");
            while (watchers.step()) {
                if (processGone(watchers.columnInt64(1)) || watchers.columnText(2) != file_)
                    gone.push_back(watchers.columnInt64(0));
            }
        }
        Statement forget(db_, "DELETE FROM lumaref_watchers WHERE writer = ?1");
        for (const std::int64_t writer : gone) {
            forget.bindInt64(1, writer);
            forget.step();
            forget.reset();
        }
        Statement join(db_, "INSERT INTO lumaref_watchers (writer, pid, file) VALUES (?1, ?2, ?3)");
        join.bindInt64(1, writer_);
        join.bindInt64(2, ::getpid());
        join.bindText(3, file_);
        join.step();
        join.reset();
        registration.commit();
        registered_ = true;
    } catch (const SqliteError&) {
        // A database busy or read-only now: the next load tries again.
    }
}

std::int64_t SqliteChangeFeed::dataVersion() {
    if (!version_) version_ = std::make_unique<Statement>(db_, "PRAGMA data_version");
    const std::int64_t version = version_->step() ? version_->columnInt64(0) : 0;
    version_->reset();
    return version;
}

void SqliteChangeFeed::watch(const std::string& table) {
    registerAsWatcher();
    watched_[table].newRows.reset();
}

// The trigger lives with this connection only (TEMP), so no other program meets it; it runs inside
// each UPDATE, so the entry commits with the change or not at all, and it asks for another watcher
// there, under the write lock, so a window that registers meanwhile cannot miss the change.
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
                      " WHEN EXISTS (SELECT 1 FROM lumaref_watchers WHERE writer <> " +
                      std::to_string(writer_) + " AND file = " + sqlLiteral(file_) +
                      ") BEGIN INSERT INTO lumaref_changes (table_name, row_key, writer) VALUES (" +
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
    return changesByTable(std::move(found));
}

}  // namespace lumaref
