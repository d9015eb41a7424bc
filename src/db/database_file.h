#pragma once

#include <string>

struct sqlite3;

namespace lumaref {

// An SQLite database file opened outside a Connection (a file being built, a file a tool writes),
// closed when the object goes. Use it through the Statement API (db/statement.h).
class DatabaseFile {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    // Throws SqliteError when the file cannot be opened in that mode.
    DatabaseFile(const std::string& path, Mode mode);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    sqlite3* handle() const { return db_; }
    // How long a statement waits for another program's lock before failing.
    void setBusyTimeoutMs(int ms);
    // Closes the file now; throws SqliteError (the file then stays open) when SQLite cannot, e.g. while
    // a statement is still prepared on it.
    void close();

private:
    sqlite3* db_ = nullptr;
};

}  // namespace lumaref
