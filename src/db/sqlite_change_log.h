#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "db/store.h"

struct sqlite3;

namespace lumaref {

class Statement;

// How the programs sharing an SQLite database learn which rows the others changed. SQLite tells a
// connection only that another one committed (PRAGMA data_version), not what; so a Lumaref writer
// leaves an entry in this table, inside the transaction that made the change: the key of each row it
// updated (a temporary trigger of the window's connection writes it), or, for a load, the table with
// no key, meaning every row. Appended rows need no entry: rows are never deleted, so the rows another
// program added are those above the largest rowid already seen.
//
// An entry is worth its write only while another program looks: a window that may write registers
// in lumaref_watchers while it is open (with the file's identity, which a copy of the file does not
// share), and a post writes its entry only when a window other than its own is registered. A window alone on
// its database posts at the database's own cost. (A window that may not write the file cannot register, and
// sees others' appends and loads but not their edits unless another window is registered.)
inline constexpr std::string_view kChangeLogTable = "lumaref_changes";
inline constexpr std::string_view kWatchersTable = "lumaref_watchers";

// One of the two tables above: the database's bookkeeping, not data to show or carry elsewhere.
inline bool isChangeLogTable(std::string_view table) {
    return table == kChangeLogTable || table == kWatchersTable;
}

// Inside a load's transaction: every row of `table` may have changed. Creates the log if needed.
void noteTableReplaced(sqlite3* db, std::string_view table);

// One connection's view of the log: what the other connections committed since it last looked.
class SqliteChangeFeed {
public:
    // Takes the point to report from. A feed that may write registers its connection as a watcher at
    // its first watch(), and takes the registration back when it goes.
    SqliteChangeFeed(sqlite3* db, bool writable);
    ~SqliteChangeFeed();
    SqliteChangeFeed(const SqliteChangeFeed&) = delete;
    SqliteChangeFeed& operator=(const SqliteChangeFeed&) = delete;

    // Before `table` is loaded: from now on other programs log their edits of it.
    void watch(const std::string& table);
    // Before this connection updates `table`: its updates go to the log from now on. The log is made
    // by the first program that changes a row, so a database only read is never written.
    void beforeUpdate(const std::string& table);
    // After the load: the largest key it read, above which rows are new.
    void loaded(const std::string& table, const std::vector<RowKey>& keys);
    // A row this connection appended, which is not another program's.
    void ownAppend(const std::string& table, RowKey key);

    std::vector<TableChanges> othersChanges();

private:
    struct Watched {
        RowKey largestSeen = 0;
        std::vector<RowKey> ownAppends;  // ascending
        std::unique_ptr<Statement> newRows;
    };

    std::int64_t dataVersion();
    // (seq, table, key) entries past lastSeq_ by other writers; null when there is no log yet.
    void readLog(std::map<std::string, TableChanges>& found);
    void readNewRows(const std::string& table, Watched& watched, TableChanges& changes);

    void registerAsWatcher();

    sqlite3* db_;
    bool writable_;
    bool registered_ = false;
    std::int64_t writer_;  // this connection's mark on the entries it writes
    std::string file_;     // the database file's device and inode
    std::int64_t dataVersion_ = 0;
    std::int64_t lastSeq_ = 0;
    std::map<std::string, Watched> watched_;
    std::set<std::string> logged_;  // tables whose updates this connection writes to the log
    std::unique_ptr<Statement> version_;
};

}  // namespace lumaref
