#include "db/staged_database.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "db/database_file.h"
#include "db/statement.h"
#include "text/error.h"
#include "text/staged_file.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

std::string systemText(int error) { return std::generic_category().message(error); }

std::string alreadyExists(const std::string& target) {
    return "The target '" + target + "' already exists; use --force to replace it.";
}

}  // namespace

StagedDatabase::StagedDatabase(std::string target, bool replaceExisting) : target_(std::move(target)) {
    std::error_code ec;
    const fs::path targetPath = fs::absolute(fs::path(target_), ec);
    if (fs::is_directory(targetPath, ec)) throw Error("The target '" + target_ + "' is a folder.");
    if (!replaceExisting && fs::exists(fs::symlink_status(targetPath, ec)))
        throw Error(alreadyExists(target_));
    try {
        file_ =
            std::make_unique<StagedFile>(targetPath.string(), replaceExisting ? StagedFile::Existing::Replace
                                                                              : StagedFile::Existing::Keep);
    } catch (const StagedFileError& failure) {
        throw Error("Cannot create a file in '" + targetPath.parent_path().string() +
                    "': " + systemText(failure.errnoValue()) + ".");
    }
    temporaryPath_ = file_->temporaryPath();
    try {
        database_ = std::make_unique<DatabaseFile>(temporaryPath_, DatabaseFile::Mode::ReadWrite);
        // The file is thrown away on any failure, so it needs no journal on disk while it is built.
        exec(database_->handle(), "PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF");
        transaction_ = std::make_unique<Transaction>(database_->handle());
    } catch (const SqliteError& failure) {
        abandon();
        throw Error("Cannot write '" + temporaryPath_ + "': " + failure.sqliteText() + ".");
    }
}

StagedDatabase::~StagedDatabase() {
    if (!committed_) abandon();
}

sqlite3* StagedDatabase::handle() const { return database_ ? database_->handle() : nullptr; }

void StagedDatabase::commit() {
    if (committed_ || !database_) throw Error("The database '" + target_ + "' is already committed.");
    try {
        try {
            transaction_->commit();
            transaction_.reset();
            database_->close();
            // synchronous=OFF skipped SQLite's own flushes: one flush of the whole file before it is named.
            file_->flush();
        } catch (const SqliteError& failure) {
            throw Error("Cannot write '" + temporaryPath_ + "': " + failure.sqliteText() + ".");
        } catch (const StagedFileError& failure) {
            throw Error("Cannot write '" + temporaryPath_ + "': " + systemText(failure.errnoValue()) + ".");
        }
        // SQLite would replay a journal left beside the target by an earlier database of that name.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((target_ + suffix).c_str());
        try {
            file_->commit();
        } catch (const StagedFileError& failure) {
            if (failure.errnoValue() == EEXIST) throw Error(alreadyExists(target_));
            throw Error("Cannot create '" + target_ + "': " + systemText(failure.errnoValue()) + ".");
        }
    } catch (...) {
        abandon();
        throw;
    }
    committed_ = true;
}

void StagedDatabase::abandon() noexcept {
    transaction_.reset();
    database_.reset();
    file_.reset();
    if (!temporaryPath_.empty()) {
        // A journal SQLite may have spilled beside the file.
        ::unlink((temporaryPath_ + "-journal").c_str());
        temporaryPath_.clear();
    }
}

}  // namespace lumaref
