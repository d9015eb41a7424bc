#include "db/snapshot_reader.h"

#include <sqlite3.h>

namespace lumaref {

namespace {

// Long enough to wait out another program's post, short enough that a busy database only means a
// load on one thread.
constexpr int kLockWaitMs = 25;

SqliteHandle openAgain(sqlite3* db, int flags) {
    const char* path = sqlite3_db_filename(db, "main");
    if (path == nullptr || *path == '\0') return nullptr;
    sqlite3* other = nullptr;
    const int status = sqlite3_open_v2(path, &other, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(other);
    if (status != SQLITE_OK) return nullptr;
    sqlite3_busy_timeout(other, kLockWaitMs);
    return handle;
}

}  // namespace

void SqliteClose::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

SqliteHandle openSecondReader(sqlite3* db) { return openAgain(db, SQLITE_OPEN_READONLY); }

std::unique_ptr<SnapshotLock> SnapshotLock::acquire(sqlite3* db) {
    if (sqlite3_db_readonly(db, "main") != 0) return nullptr;
    SqliteHandle connection = openAgain(db, SQLITE_OPEN_READWRITE);
    if (connection == nullptr ||
        sqlite3_exec(connection.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return nullptr;
    return std::unique_ptr<SnapshotLock>(new SnapshotLock(std::move(connection)));
}

SnapshotLock::SnapshotLock(SqliteHandle connection) : connection_(std::move(connection)) {}

// Nothing was written: rolling back only gives the lock up.
SnapshotLock::~SnapshotLock() { sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr); }

}  // namespace lumaref
