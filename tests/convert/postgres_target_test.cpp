// lumaref-convert with a PostgreSQL database as its target.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "convert_run.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

class PostgresTarget : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = test::PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
        server = std::make_unique<test::PostgresSchema>();
    }
    static test::CommandRun run(const std::vector<std::string>& args) {
        return test::runConvertCommand(args);
    }
    std::string count(const std::string& table) {
        return server->queryText("SELECT count(*) FROM \"" + table + "\"");
    }

    test::TempDir dir;
    std::unique_ptr<test::PostgresSchema> server;
};

TEST_F(PostgresTarget, ANewDatabaseWithItsRolesThenRankingLoads) {
    const std::string readers = server->createRole("reader");
    const std::string admins = server->createRole("admin");
    const test::CommandRun created =
        run({"--new", server->conninfo(), "--readers", readers, "--admins", admins});
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "Created 6 tables, 0 rows on the server. Readers: " + readers +
                               ". Administrators: " + admins + ".\n");
    const struct {
        const std::string& role;
        const char* rights;  // SELECT, INSERT, UPDATE, DELETE
    } roles[] = {{readers, "t f f f"}, {admins, "t t t f"}};
    for (const auto& r : roles) {
        for (const char* table : {"journals", "jcr2018", "JCRQ4"}) {
            EXPECT_EQ(server->queryText("SELECT concat_ws(' ', has_table_privilege('" + r.role + "', '\"" +
                                        table + "\"', 'SELECT'), has_table_privilege('" + r.role + "', '\"" +
                                        table + "\"', 'INSERT'), has_table_privilege('" + r.role + "', '\"" +
                                        table + "\"', 'UPDATE'), has_table_privilege('" + r.role + "', '\"" +
                                        table + "\"', 'DELETE'))"),
                      r.rights)
                << r.role << " on " << table;
        }
    }
    const test::CommandRun again = run({"--new", server->conninfo()});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err,
              "lumaref-convert: The table 'journals' already exists on the server; --force replaces it.\n");

    test::writeFile(dir.file("q1.csv"), "Journal Title,ISSN\nA,1234-5678\nB,2345-6789\nC,3456-7890\n");
    const struct {
        bool append;
        const char* rows;
        const char* out;
    } loads[] = {
        {false, "3", "Loaded the rows of FILE into JCRQ1 on the server (replacing 0 rows).\n"},
        {true, "6", "Loaded the rows of FILE into JCRQ1 on the server.\n"},
        {false, "3", "Loaded the rows of FILE into JCRQ1 on the server (replacing 6 rows).\n"},
    };
    for (const auto& load : loads) {
        std::vector<std::string> args = {"--csv", dir.file("q1.csv"), "--table", "JCRQ1", server->conninfo()};
        if (load.append) args.emplace_back("--append");
        const test::CommandRun loaded = run(args);
        EXPECT_EQ(loaded.status, 0) << loaded.err;
        std::string expected = load.out;
        expected.replace(expected.find("FILE"), 4, dir.file("q1.csv"));
        EXPECT_EQ(loaded.out, expected);
        EXPECT_EQ(count("JCRQ1"), load.rows);
    }
    EXPECT_EQ(server->queryText("SELECT string_agg(\"ISSN\", ' ' ORDER BY lumaref_key) FROM \"JCRQ1\""),
              "1234-5678 2345-6789 3456-7890");
}

TEST_F(PostgresTarget, SqliteAndAccessDatabasesComeAcrossWithEveryRow) {
    const std::string sqlite = dir.file("Database.mdb");
    test::createDatabase(sqlite, test::journalInsert("One") + ";" + test::journalInsert("Two"));
    const std::string access = std::string(LUMAREF_TESTDATA_DIR) + "/jet/nwind.mdb";
    const std::string accessAsSqlite = dir.file("nwind.db");
    ASSERT_EQ(run({"--quiet", access, accessAsSqlite}).status, 0);

    const struct {
        const char* name;
        std::string source;
        std::string rowsFrom;  // the SQLite database holding the same rows
    } cases[] = {{"SQLite", sqlite, sqlite}, {"Access", access, accessAsSqlite}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CommandRun copied = run({c.source, server->conninfo(), "--force"});
        ASSERT_EQ(copied.status, 0) << copied.err;
        const std::string tables = test::queryText(
            c.rowsFrom,
            "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
            "AND name NOT LIKE 'sqlite%' ORDER BY rowid)");
        std::size_t rows = 0;
        std::stringstream names(tables);
        for (std::string table; std::getline(names, table, ',');) {
            const std::string expected =
                test::queryText(c.rowsFrom, "SELECT count(*) FROM \"" + table + "\"");
            EXPECT_EQ(count(table), expected) << table;
            rows += std::stoul(expected);
        }
        EXPECT_NE(copied.out.find(std::to_string(rows) + " rows on the server."), std::string::npos)
            << copied.out;
    }
}

}  // namespace
}  // namespace lumaref
