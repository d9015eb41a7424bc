#pragma once

#include <memory>
#include <string>

#include "db/sqlite_change_log.h"
#include "db/sqlite_writer.h"
#include "db/store.h"

struct sqlite3;

namespace lumaref {

// The store in an SQLite 3 database file.
class SqliteStore final : public Store {
public:
    // Opens the existing file at `path` (absolute) read-write, or read-only when asked; never creates
    // it. Throws Error with "Could not open file '<path>': <reason>". A writer switches the file to WAL
    // unless `keepJournal` (a bulk load in one transaction, which writes each page once under the
    // file's own journal, where WAL would write it to the log and again when the log is folded back).
    static std::unique_ptr<SqliteStore> open(const std::string& path, bool readOnly, int busyTimeoutMs,
                                             bool keepJournal = false);
    ~SqliteStore() override;

    LoadedTable load(const std::string& table) override;
    void update(const std::string& table, const Table& snapshot, RowKey key,
                std::span<const FieldChange> changes) override;
    RowKey append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) override;
    std::vector<TableChanges> othersChanges() override;
    LoadedTable loadRows(const std::string& table, std::span<const RowKey> keys) override;
    void setBusyTimeoutMs(int ms) override;
    bool readOnly() const override { return readOnly_; }
    // Whoever may write the file may change every table in it.
    bool mayChange(const std::string&) override { return !readOnly_; }

    // For bulk loads through the db API.
    sqlite3* handle() const { return db_.get(); }

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };

    SqliteStore(sqlite3* db, bool readOnly);

    std::unique_ptr<sqlite3, Close> db_;  // first: closed after the writer's statements are gone
    bool readOnly_;
    SqliteWriter writer_;
    SqliteChangeFeed changes_;
};

}  // namespace lumaref
