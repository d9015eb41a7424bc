#include "convert/new_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "data/error.h"
#include "data/sqlite_statement.h"
#include "data/text_file.h"
#include "lumaref_schema.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

std::string fullPath(const std::string& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

[[noreturn]] void fail(const std::string& target, const std::string& reason) {
    throw Error("Cannot create the database \"" + fullPath(target) + "\". " + reason);
}

std::string temporaryNameBeside(const fs::path& target) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937_64 random{std::random_device{}()};
    std::string name = "." + target.filename().string().substr(0, 200) + ".new-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % kLetters.size()];
    return (target.has_parent_path() ? target.parent_path() / name : fs::path(name)).string();
}

// Removes the temporary database and any journal SQLite left beside it.
class TemporaryDatabase {
public:
    explicit TemporaryDatabase(std::string path) : path_(std::move(path)) {}
    ~TemporaryDatabase() {
        if (keep_) return;
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((path_ + suffix).c_str());
    }
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;
    const std::string& path() const { return path_; }
    void keep() { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

void writeSchema(const std::string& target, const std::string& path) {
    sqlite3* db = nullptr;
    int status = sqlite3_open_v2(path.c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE, nullptr);
    if (status == SQLITE_OK) {
        // One transaction, flushed on commit; a rollback journal, so the file stands alone once closed.
        const std::string sql = "PRAGMA synchronous=FULL; BEGIN; " + std::string(kSchemaSql) + "; COMMIT;";
        status = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    std::string reason;
    if ((status & 0xff) == SQLITE_CANTOPEN) {
        reason = "Its folder does not exist or cannot be written to.";
    } else if (status != SQLITE_OK) {
        reason = providerMessage(db, status);
    }
    if (sqlite3_close(db) != SQLITE_OK && status == SQLITE_OK) {
        fail(target, "The new file could not be closed.");
    }
    if (status != SQLITE_OK) fail(target, reason);
}

}  // namespace

void createNewDatabase(const std::string& target, bool replace) {
    std::error_code ec;
    const fs::file_status existing = fs::status(target, ec);
    if (fs::is_directory(existing)) fail(target, "It is a folder.");
    if (fs::exists(existing) && !replace) {
        fail(target, "The file exists already; give --force to replace it.");
    }

    TemporaryDatabase temporary(temporaryNameBeside(fs::path(target)));
    writeSchema(target, temporary.path());

    if (replace) {
        // SQLite would replay the old file's leftover journal into the new one.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((target + suffix).c_str());
        if (::rename(temporary.path().c_str(), target.c_str()) != 0) fail(target, systemReason(errno) + ".");
        temporary.keep();
    } else if (::link(temporary.path().c_str(), target.c_str()) != 0) {
        // link() refuses a target that appeared meanwhile, where rename() would replace it. File
        // systems without hard links get the plain rename after a last look.
        const int reason = errno;
        if (reason == EEXIST || fs::exists(target, ec)) {
            fail(target, "The file exists already; give --force to replace it.");
        }
        if (::rename(temporary.path().c_str(), target.c_str()) != 0) fail(target, systemReason(errno) + ".");
        temporary.keep();
    }

    const fs::path folder =
        fs::path(target).has_parent_path() ? fs::path(target).parent_path() : fs::path(".");
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

}  // namespace lumaref
