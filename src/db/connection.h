#pragma once

#include <memory>
#include <string>

#include "db/store.h"
#include "text/error.h"

struct sqlite3;

namespace lumaref {

// The data source is a Microsoft Access (Jet or ACE) file, which Lumaref does not read; the program
// that shows this says how to bring it across.
class AccessDatabaseError : public Error {
public:
    explicit AccessDatabaseError(std::string path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The one database connection. Data Source is opened relative to the current directory, read-write,
// never created; a PostgreSQL connection string (URI or libpq key=value) opens that server's database
// instead. Opening is retried by every record set that finds the connection closed. Record sets
// load and post through its store.
class Connection {
public:
    explicit Connection(std::string connectionString, std::string name = "ADOConnection1");
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws Error with the provider's text (AccessDatabaseError for an Access file); the connection
    // then stays closed.
    void open();
    void close();
    bool connected() const { return store_ != nullptr; }
    // A PostgreSQL server's database rather than a file.
    bool isServer() const { return server_; }
    // True once an open connection to a server has broken: close and open it again to go on.
    bool lost() const { return store_ != nullptr && store_->lost(); }
    // What the connection is on, once open: "journals on db.example:5432", or the file's path.
    const std::string& place() const { return place_; }

    const std::string& name() const { return name_; }
    const std::string& connectionString() const { return connectionString_; }
    // Absolute path of the data source, known once open() has run.
    const std::string& dataSourcePath() const { return path_; }
    bool readOnly() const { return readOnly_; }

    // How long a write waits for another program's lock before failing.
    void setBusyTimeoutMs(int ms);
    // Before open(): an SQLite file keeps the journal mode it has (see SqliteStore::open).
    void keepJournalMode() { keepJournal_ = true; }

    // Throws Error while the connection is closed.
    Store& store() const;
    // The SQLite database beneath the store, for bulk loads through the db API; null while closed and
    // for a PostgreSQL store.
    sqlite3* handle() const { return handle_; }

private:
    std::string connectionString_;
    bool server_ = false;
    std::string name_;
    std::string path_;
    std::string place_;
    std::unique_ptr<Store> store_;
    sqlite3* handle_ = nullptr;
    bool readOnly_ = false;
    int busyTimeoutMs_ = 3000;
    bool keepJournal_ = false;
};

}  // namespace lumaref
