#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace lumaref {

// A second read-only connection to the database of `db`, for a reader on another thread. The two
// readers see one state of the database when each takes its first step while the returned guard
// holds the write lock (see SnapshotLock); the connection is closed with the pointer.
struct SqliteClose {
    void operator()(sqlite3* db) const;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteClose>;

// Null when the database has no file of its own (in memory, temporary) or cannot be opened again.
SqliteHandle openSecondReader(sqlite3* db);

// Holds the database's write lock through a connection of its own, so no other connection can commit
// while it is held: readers that start their reads meanwhile all see the same committed state, and
// keep it after the lock is released. Held for as long as it takes the readers to start.
class SnapshotLock {
public:
    // Null when the lock is not to be had at once (a read-only database, another writer busy).
    static std::unique_ptr<SnapshotLock> acquire(sqlite3* db);
    ~SnapshotLock();
    SnapshotLock(const SnapshotLock&) = delete;
    SnapshotLock& operator=(const SnapshotLock&) = delete;

private:
    explicit SnapshotLock(SqliteHandle connection);
    SqliteHandle connection_;
};

}  // namespace lumaref
