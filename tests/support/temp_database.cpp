#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <memory>

#include "db/database_file.h"
#include "db/statement.h"
#include "support/temp_dir.h"

namespace lumaref::test {

namespace {

// The file, created if need be; null (and the test failed) when it cannot be opened.
std::unique_ptr<DatabaseFile> openOrFail(const std::string& path) {
    try {
        auto file = std::make_unique<DatabaseFile>(path, DatabaseFile::Mode::Create);
        file->setBusyTimeoutMs(5000);
        return file;
    } catch (const SqliteError& failure) {
        ADD_FAILURE() << "cannot open " << path << ": " << failure.sqliteText();
        return nullptr;
    }
}

void run(const DatabaseFile& file, std::string_view sql) {
    try {
        exec(file.handle(), sql);
    } catch (const SqliteError& failure) {
        ADD_FAILURE() << "SQL failed: " << failure.sqliteText() << "\n" << sql;
    }
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
    const auto db = openOrFail(path);
    if (!db) return;
    run(*db, "PRAGMA synchronous=OFF");  // test databases need no durability, and it saves most of the time
    run(*db, "BEGIN;" + schema);
    run(*db, "COMMIT");
    if (!extraSql.empty()) run(*db, extraSql);
}

void execSql(const std::string& path, std::string_view sql) {
    if (const auto db = openOrFail(path)) run(*db, sql);
}

std::string queryText(const std::string& path, std::string_view sql) {
    const auto db = openOrFail(path);
    if (!db) return {};
    try {
        Statement query(db->handle(), sql);
        return query.step() ? std::string(query.columnText(0)) : std::string();
    } catch (const SqliteError& failure) {
        ADD_FAILURE() << "SQL failed: " << failure.sqliteText() << "\n" << sql;
        return {};
    }
}

std::string journalInsert(std::string_view title, std::string_view category, std::string_view subject,
                          std::string_view frequency) {
    return "INSERT INTO journals (Title, category, subject, Frequently) VALUES (" + sqlQuoted(title) + ", " +
           sqlQuoted(category) + ", " + sqlQuoted(subject) + ", " + sqlQuoted(frequency) + ");\n";
}

std::string journalRowSql(const TestJournal& j) {
    auto flag = [&j](int index) { return j.index == index ? std::string("1") : std::string("0"); };
    return "INSERT INTO journals (Title, ISSN, \"E-ISSN\", Frequently, IF, Q, \"Science Citation Index\", "
           "\"Science Citation Index Expanded\", \"Emerging Sources Citation Index\", "
           "\"Arts Humanities Citation Index\", Address, category, subject) VALUES (" +
           sqlQuoted(j.title) + ", " + sqlQuoted(j.issn) + ", " + sqlQuoted(j.eissn) + ", " +
           sqlQuoted(j.frequency) + ", " + sqlQuoted(j.impactFactor) + ", " + sqlQuoted(j.quartile) + ", " +
           flag(1) + ", " + flag(2) + ", " + flag(3) + ", " + flag(4) + ", " + sqlQuoted(j.address) + ", " +
           sqlQuoted(j.category) + ", " + sqlQuoted(j.subject) + ");\n";
}

std::string rankingRowsSql(const std::vector<TestRankingRow>& rows) {
    std::string sql;
    int rank = 0;
    for (const TestRankingRow& row : rows) {
        sql +=
            "INSERT INTO jcr2018 (Rank, \"Full Journal Title\", ISSN, \"Total Cites\", "
            "\"Journal Impact Factor\", \"Impact Factor without Journal Self Cites\") VALUES (" +
            std::to_string(++rank) + ", 'T', " + sqlQuoted(row.issn) + ", " + sqlQuoted(row.totalCites) +
            ", " + sqlQuoted(row.impactFactor) + ", " + sqlQuoted(row.withoutSelfCites) + ");\n";
    }
    return sql;
}

std::string quartileRowsSql(int quartile, const std::vector<const char*>& issns) {
    std::string sql;
    for (const char* issn : issns) {
        sql += "INSERT INTO JCRQ" + std::to_string(quartile) + " (\"Journal Title\", ISSN) VALUES ('T', " +
               sqlQuoted(issn) + ");\n";
    }
    return sql;
}

}  // namespace lumaref::test
