#pragma once

#include <string>

struct sqlite3;

namespace lumaref {

// A new SQLite database built in a temporary file beside its target and put in place by one rename
// when commit() succeeds, so a failure at any step leaves neither a half-made target nor a stray file.
// Everything written between construction and commit() is one transaction.
class StagedDatabase {
public:
    // Throws Error when the target exists (unless replaceExisting) or its folder cannot take a new file.
    StagedDatabase(std::string target, bool replaceExisting);
    // Removes the temporary file unless commit() succeeded.
    ~StagedDatabase();
    StagedDatabase(const StagedDatabase&) = delete;
    StagedDatabase& operator=(const StagedDatabase&) = delete;

    sqlite3* handle() const { return db_; }
    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Commits the transaction, flushes the file to disk and renames it onto the target.
    // Throws Error on any failure; the temporary file is then removed and the target left as it was.
    void commit();

private:
    void abandon() noexcept;

    std::string target_;
    std::string temporaryPath_;
    bool replaceExisting_;
    sqlite3* db_ = nullptr;
    bool committed_ = false;
};

}  // namespace lumaref
