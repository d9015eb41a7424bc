#include "db/sqlite_store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "db/ranking_tables.h"
#include "db/sqlite_table_load.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

// A setting the connection does well without: a failure leaves SQLite's default.
void trySetting(sqlite3* db, const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// Writing needs the file and, for its journal or log, the folder it lies in.
bool writable(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return access(path.c_str(), W_OK) == 0 && access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

}  // namespace

// The last connection to close returns the file to the rollback journal, so it is one file between
// runs that can be copied, mailed or browsed from a read-only folder. While another program has it open
// the switch fails at once, and the file stays in WAL for that program.
void SqliteStore::Close::operator()(sqlite3* db) const {
    if (sqlite3_db_readonly(db, "main") == 0) {
        sqlite3_busy_timeout(db, 0);
        trySetting(db, "PRAGMA journal_mode=DELETE");
    }
    sqlite3_close_v2(db);
}

std::unique_ptr<SqliteStore> SqliteStore::open(const std::string& path, bool readOnly, int busyTimeoutMs,
                                               bool keepJournal) {
    // One connection per thread: SQLite's own per-call locking would only cost time.
    sqlite3* db = nullptr;
    // A file that cannot be written is still browsed; the first change is then refused as read-only.
    const bool opensReadOnly = readOnly || !writable(path);
    const int status = sqlite3_open_v2(
        path.c_str(), &db,
        (opensReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const std::string message = "Could not open file '" + path + "': " + providerMessage(db, status);
        sqlite3_close(db);
        throw Error(message);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    // Reading the schema proves the file is a database before anything else uses it.
    try {
        exec(db, "PRAGMA schema_version");
    } catch (const SqliteError& failure) {
        std::string reason =
            failure.primaryStatus() == SQLITE_NOTADB ? "it is not a database file" : failure.what();
        if (!reason.ends_with('.')) reason += '.';
        sqlite3_close(db);
        throw Error("Could not open file '" + path + "': " + reason);
    }
    if (!opensReadOnly && !keepJournal) {
        // Every post is its own commit; WAL with NORMAL sync keeps that durable without a flush per row.
        // When another program holds the file this may stay on the rollback journal, which is fine.
        trySetting(db, "PRAGMA journal_mode=WAL");
        trySetting(db, "PRAGMA synchronous=NORMAL");
    }
    if (!opensReadOnly) addRankingTables(db);
    return std::unique_ptr<SqliteStore>(new SqliteStore(db, sqlite3_db_readonly(db, "main") == 1));
}

SqliteStore::SqliteStore(sqlite3* db, bool readOnly)
    : db_(db), readOnly_(readOnly), writer_(db), changes_(db, !readOnly) {}

SqliteStore::~SqliteStore() = default;

LoadedTable SqliteStore::load(const std::string& table) {
    changes_.watch(table);
    LoadedTable loaded = loadSqliteTable(db_.get(), table);
    changes_.loaded(table, loaded.keys);
    return loaded;
}

void SqliteStore::update(const std::string& table, const Table& snapshot, RowKey key,
                         std::span<const FieldChange> changes) {
    if (!readOnly_) changes_.beforeUpdate(table);
    writer_.update(table, snapshot, key, changes);
}

RowKey SqliteStore::append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) {
    const RowKey key = writer_.append(table, snapshot, values);
    changes_.ownAppend(table, key);
    return key;
}

std::vector<TableChanges> SqliteStore::othersChanges() { return changes_.othersChanges(); }

LoadedTable SqliteStore::loadRows(const std::string& table, std::span<const RowKey> keys) {
    return loadSqliteRows(db_.get(), table, keys);
}

void SqliteStore::setBusyTimeoutMs(int ms) { sqlite3_busy_timeout(db_.get(), ms); }

}  // namespace lumaref
