#include "data/sqlite_statement.h"

namespace lumaref {

Statement::Statement(sqlite3* db, std::string_view sql) {
    status_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (status_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

std::string providerMessage(sqlite3* db, int status) {
    switch (status & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "Could not update; the database is locked by another program. Try again later.";
        case SQLITE_READONLY:
            return "Cannot update. Database or object is read-only.";
        case SQLITE_FULL:
            return "Could not update; the disk is full.";
        case SQLITE_NOTADB:
            return "The file is not a database file.";
        case SQLITE_CORRUPT:
            return "The database file is damaged (" + std::string(sqlite3_errmsg(db)) + ").";
        default:
            return db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(status);
    }
}

std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace lumaref
