#include "db/database_file.h"

#include <sqlite3.h>

#include "db/statement.h"

namespace lumaref {

namespace {

int flagsFor(DatabaseFile::Mode mode) {
    switch (mode) {
        case DatabaseFile::Mode::ReadOnly:
            return SQLITE_OPEN_READONLY;
        case DatabaseFile::Mode::ReadWrite:
            return SQLITE_OPEN_READWRITE;
        case DatabaseFile::Mode::Create:
            break;
    }
    return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

}  // namespace

DatabaseFile::DatabaseFile(const std::string& path, Mode mode) {
    // One connection per thread: SQLite's own per-call locking would only cost time.
    const int status = sqlite3_open_v2(path.c_str(), &db_, flagsFor(mode) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const SqliteError error(db_, status);
        sqlite3_close(db_);
        db_ = nullptr;
        throw error;
    }
}

DatabaseFile::~DatabaseFile() { sqlite3_close_v2(db_); }

void DatabaseFile::setBusyTimeoutMs(int ms) { sqlite3_busy_timeout(db_, ms); }

void DatabaseFile::close() {
    if (db_ == nullptr) return;
    if (const int status = sqlite3_close(db_); status != SQLITE_OK) throw SqliteError(db_, status);
    db_ = nullptr;
}

}  // namespace lumaref
