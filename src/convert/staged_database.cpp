#include "convert/staged_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "text/error.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

std::string systemText(int error) { return std::generic_category().message(error); }

void execOrThrow(sqlite3* db, const char* sql, const std::string& path) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string reason = message != nullptr ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error("Cannot write '" + path + "': " + reason + ".");
    }
}

void syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// rename() that refuses to replace an existing file, so two runs cannot overwrite each other's target.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0) return -1;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

StagedDatabase::StagedDatabase(std::string target, bool replaceExisting)
    : target_(std::move(target)), replaceExisting_(replaceExisting) {
    std::error_code ec;
    const fs::path targetPath = fs::absolute(fs::path(target_), ec);
    if (fs::is_directory(targetPath, ec)) throw Error("The target '" + target_ + "' is a folder.");
    if (!replaceExisting_ && fs::exists(fs::symlink_status(targetPath, ec))) {
        throw Error("The target '" + target_ + "' already exists; use --force to replace it.");
    }
    const fs::path folder = targetPath.parent_path();
    std::string pattern = (folder / ("." + targetPath.filename().string() + ".partial-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Error("Cannot create a file in '" + folder.string() + "': " + systemText(errno) + ".");
    }
    // mkstemp makes the file private; the database gets the permissions any new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    temporaryPath_ = pattern;

    const int status =
        sqlite3_open_v2(temporaryPath_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
        abandon();
        throw Error("Cannot write '" + temporaryPath_ + "': " + reason + ".");
    }
    try {
        // The file is thrown away on any failure, so it needs no journal on disk while it is built.
        execOrThrow(db_, "PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; BEGIN", temporaryPath_);
    } catch (...) {
        abandon();
        throw;
    }
}

StagedDatabase::~StagedDatabase() {
    if (!committed_) abandon();
}

void StagedDatabase::commit() {
    if (committed_ || db_ == nullptr) throw Error("The database '" + target_ + "' is already committed.");
    try {
        execOrThrow(db_, "COMMIT", temporaryPath_);
        if (sqlite3_close(db_) != SQLITE_OK) {
            throw Error("Cannot write '" + temporaryPath_ + "': " + sqlite3_errmsg(db_) + ".");
        }
        db_ = nullptr;
        // synchronous=OFF skipped SQLite's own flushes: one flush of the whole file before it is named.
        const int fd = ::open(temporaryPath_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int error = errno;
            if (fd >= 0) ::close(fd);
            throw Error("Cannot write '" + temporaryPath_ + "': " + systemText(error) + ".");
        }
        ::close(fd);
        // SQLite would replay a journal left beside the target by an earlier database of that name.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((target_ + suffix).c_str());
        const int renamed = replaceExisting_ ? ::rename(temporaryPath_.c_str(), target_.c_str())
                                             : renameNoReplace(temporaryPath_, target_);
        if (renamed != 0) {
            const int error = errno;
            if (error == EEXIST) {
                throw Error("The target '" + target_ + "' already exists; use --force to replace it.");
            }
            throw Error("Cannot create '" + target_ + "': " + systemText(error) + ".");
        }
    } catch (...) {
        abandon();
        throw;
    }
    committed_ = true;
    std::error_code ec;
    syncPath(fs::absolute(fs::path(target_), ec).parent_path().string(), O_RDONLY | O_DIRECTORY);
}

void StagedDatabase::abandon() noexcept {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        // A journal SQLite may have spilled beside the file.
        ::unlink((temporaryPath_ + "-journal").c_str());
        temporaryPath_.clear();
    }
}

}  // namespace lumaref
