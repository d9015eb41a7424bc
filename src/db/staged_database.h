#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace lumaref {

class DatabaseFile;
class StagedFile;
class Transaction;

// A new SQLite database built in a StagedFile beside its target and put in place by one rename when
// commit() succeeds, so a failure at any step leaves neither a half-made target nor a stray file.
// Everything written between construction and commit() is one transaction.
class StagedDatabase {
public:
    // Throws Error when the target exists (unless replaceExisting) or its folder cannot take a new file.
    StagedDatabase(std::string target, bool replaceExisting);
    // Removes the temporary file unless commit() succeeded.
    ~StagedDatabase();
    StagedDatabase(const StagedDatabase&) = delete;
    StagedDatabase& operator=(const StagedDatabase&) = delete;

    sqlite3* handle() const;
    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Commits the transaction, flushes the file to disk and renames it onto the target.
    // Throws Error on any failure; the temporary file is then removed and the target left as it was.
    void commit();

private:
    void abandon() noexcept;

    std::string target_;
    std::string temporaryPath_;
    // Declared in the order they are made, so they go in the reverse: the transaction ends and the
    // database is closed before its file is removed.
    std::unique_ptr<StagedFile> file_;
    std::unique_ptr<DatabaseFile> database_;
    std::unique_ptr<Transaction> transaction_;
    bool committed_ = false;
};

}  // namespace lumaref
