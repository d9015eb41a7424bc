#include "support/temp_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/temp_dir.h"

namespace lumaref::test {

namespace {

sqlite3* openOrFail(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db);
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

void run(sqlite3* db, std::string_view sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        ADD_FAILURE() << "SQL failed: " << (message ? message : "?") << "\n" << sql;
    }
    sqlite3_free(message);
}

}  // namespace

std::string sqlQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

void createDatabase(const std::string& path, std::string_view extraSql) {
    const std::string schema = readFile(std::string(LUMAREF_SOURCE_DIR) + "/schema.sql");
    ASSERT_FALSE(schema.empty()) << "schema.sql not found";
    sqlite3* db = openOrFail(path);
    run(db, "PRAGMA synchronous=OFF");  // test databases need no durability, and it saves most of the time
    run(db, "BEGIN;" + schema);
    run(db, "COMMIT");
    if (!extraSql.empty()) run(db, extraSql);
    sqlite3_close(db);
}

void execSql(const std::string& path, std::string_view sql) {
    sqlite3* db = openOrFail(path);
    run(db, sql);
    sqlite3_close(db);
}

std::string queryText(const std::string& path, std::string_view sql) {
    sqlite3* db = openOrFail(path);
    sqlite3_stmt* stmt = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(db, std::string(sql).c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "SQL failed: " << sqlite3_errmsg(db) << "\n" << sql;
    } else if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

std::string journalInsert(std::string_view title, std::string_view category, std::string_view subject,
                          std::string_view frequency) {
    return "INSERT INTO journals (Title, category, subject, Frequently) VALUES (" + sqlQuoted(title) + ", " +
           sqlQuoted(category) + ", " + sqlQuoted(subject) + ", " + sqlQuoted(frequency) + ");\n";
}

}  // namespace lumaref::test
