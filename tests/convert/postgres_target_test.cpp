// lumaref-convert with a PostgreSQL database as its target.
#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "convert_run.h"
#include "exchange/jcr_export.h"
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
    EXPECT_EQ(created.out, "Created 10 tables, 0 rows on the server. Readers: " + readers +
                               ". Administrators: " + admins + ".\n");
    // Administrators replace the figures of a source and year, so they may delete those; no journal.
    const struct {
        const std::string& role;
        const char* table;
        const char* rights;  // SELECT, INSERT, UPDATE, DELETE
    } rights[] = {{readers, "journals", "t f f f"},        {readers, "jcr2018", "t f f f"},
                  {readers, "ranking_figures", "t f f f"}, {readers, "journal_rankings", "t f f f"},
                  {admins, "journals", "t t t f"},         {admins, "JCRQ4", "t t t f"},
                  {admins, "ranking_loads", "t t t t"},    {admins, "ranking_figures", "t t t t"},
                  {readers, "lumaref_lists", "t f f f"},   {admins, "lumaref_lists", "t t t f"}};
    for (const auto& r : rights) {
        const std::string table = "'\"" + std::string(r.table) + "\"'";
        std::string privileges;
        for (const char* privilege : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
            privileges += (privileges.empty() ? "" : ", ") + std::string("has_table_privilege('") + r.role +
                          "', " + table + ", '" + privilege + "')";
        }
        EXPECT_EQ(server->queryText("SELECT concat_ws(' ', " + privileges + ")"), r.rights)
            << r.role << " on " << r.table;
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

// The pick lists go onto the server with the database they belong to (the lists/ folder beside it,
// as the data folder keeps them), or alone from any folder, replacing every list the server held.
TEST_F(PostgresTarget, ListFilesGoAcrossWithTheirDatabaseOrAlone) {
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    test::writeFile(dir.file("lists/categories.txt"), "Physics\r\nChemistry\r\n");
    test::writeFile(dir.file("lists/ferequently.txt"), "Monthly\r\n");
    test::writeFile(dir.file("lists/subjects/Physics.txt"), "Optics\r\nAcoustics\r\n");
    test::writeFile(dir.file("lists/subjects/.txt"), "Misc\r\n");
    test::writeFile(dir.file("other/categories.txt"), "Biology\r\n");
    test::writeFile(dir.file("other/ferequently.txt"), "");
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string out;
        const char* lists;  // kind:category=items, by kind and category
    } cases[] = {
        {"a copy with the lists beside it",
         {database, server->conninfo()},
         "Created 10 tables, 0 rows on the server. Pick lists from " + dir.file("lists") + ".\n",
         "categories:=Physics|Chemistry frequencies:=Monthly subjects:=Misc "
         "subjects:Physics=Optics|Acoustics"},
        {"another folder's lists alone",
         {"--lists", dir.file("other"), server->conninfo()},
         "Put the pick lists of " + dir.file("other") +
             " on the server: 1 categories, 0 subject lists, 0 frequencies.\n",
         "categories:=Biology frequencies:="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const test::CommandRun done = run(c.args);
        ASSERT_EQ(done.status, 0) << done.err;
        EXPECT_EQ(done.out, c.out);
        EXPECT_EQ(server->queryText(
                      "SELECT string_agg(kind || ':' || category || '=' || array_to_string(items, '|'), "
                      "' ' ORDER BY kind, category) FROM lumaref_lists"),
                  c.lists);
    }
    EXPECT_THROW(parseConvertArguments({"--lists", dir.file("lists"), database}), UsageError)
        << "beside an SQLite database the lists stay files";
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

// Each row's values joined by '|', null as "-", the rows in stored order joined by " / ": the same
// expression on both databases.
std::string rowText(std::span<const std::string_view> columns) {
    std::string text;
    for (const std::string_view column : columns)
        text += (text.empty() ? "" : " || '|' || ") + std::string("coalesce(\"") + std::string(column) +
                "\", '-')";
    return text;
}

// The export goes onto the server as into a database file, row for row, through the copy's escapes
// (a tab and a backslash in a title), replacing what was there; a broken export changes nothing.
TEST_F(PostgresTarget, RankingExportStoresWhatTheFileLoadStores) {
    ASSERT_EQ(run({"--quiet", "--new", server->conninfo()}).status, 0);
    server->exec(
        "INSERT INTO jcr2018 (\"ISSN\") VALUES ('old'); INSERT INTO \"JCRQ2\" (\"ISSN\") VALUES ('old')");
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    test::writeFile(dir.file("JCR.csv"),
                    "\"Journal Data Filtered By: Selected JCR Year: 2023\"\r\n"
                    "\"Journal name\",\"ISSN\",\"eISSN\",\"Total Citations\",\"2023 JIF\",\"JIF Quartile\","
                    "\"JIF Without Self Cites\"\r\n"
                    "\"Acta\tOptica\",\"1000-0001\",\"2000-0001\",\"12,345\",\"3.456\",\"Q1\",\"3.2\"\r\n"
                    "\"Acta\tOptica\",\"1000-0001\",\"2000-0001\",\"12,345\",\"3.456\",\"Q2\",\"3.2\"\r\n"
                    "\"Back\\slash\",\"N/A\",\"2000-0002\",\"88\",\"<0.1\",\"Q4\",\"\"\r\n"
                    "\"Nameless\",\"\",\"N/A\",\"1\",\"N/A\",\"N/A\",\"N/A\"\r\n"
                    "\r\n\"Copyright (c) 2024 Clarivate\"\r\n");
    const test::CommandRun intoFile = run({"--jcr", dir.file("JCR.csv"), database});
    const test::CommandRun ontoServer = run({"--jcr", dir.file("JCR.csv"), server->conninfo()});
    ASSERT_EQ(intoFile.status, 0) << intoFile.err;
    ASSERT_EQ(ontoServer.status, 0) << ontoServer.err;
    const auto stored = [](const std::string& out) { return out.substr(out.find("Stored")); };
    EXPECT_EQ(stored(ontoServer.out), stored(intoFile.out));

    struct Table {
        std::string_view name;
        std::span<const std::string_view> columns;
    };
    std::vector<Table> tables = {{kRankingTable, kJcrRankingColumns}};
    for (const std::string_view quartile : kQuartileTables) tables.push_back({quartile, kJcrQuartileColumns});
    const auto serverRows = [&](const Table& table) {
        return server->queryText("SELECT string_agg(" + rowText(table.columns) +
                                 ", ' / ' ORDER BY lumaref_key) FROM \"" + std::string(table.name) + "\"");
    };
    for (const Table& table : tables) {
        EXPECT_EQ(
            serverRows(table),
            test::queryText(database, "SELECT group_concat(r, ' / ') FROM (SELECT " + rowText(table.columns) +
                                          " AS r FROM \"" + std::string(table.name) + "\" ORDER BY rowid)"))
            << table.name;
    }
    EXPECT_EQ(serverRows(tables[0]),
              "Acta\tOptica|1000-0001|12,345|3.456|3.2 / Acta\tOptica|2000-0001|12,345|3.456|3.2 / "
              "Back\\slash|2000-0002|88|<0.1|-");
    // The figures too, read through the view on both.
    const std::string figure =
        "coalesce(issn, '-') || '|' || coalesce(eissn, '-') || '|' || title || '|' || source || '|' || "
        "CAST(year AS TEXT) || '|' || category || '|' || metric || '|' || value";
    const std::string order = "source, year, coalesce(issn, ''), category, metric";
    EXPECT_EQ(server->queryText("SELECT string_agg(" + figure + ", ' / ' ORDER BY " + order +
                                ") FROM journal_rankings"),
              test::queryText(database, "SELECT group_concat(r, ' / ') FROM (SELECT " + figure +
                                            " AS r FROM journal_rankings ORDER BY " + order + ")"));
    EXPECT_EQ(count("journal_rankings"), "6");

    // A title longer than the server's column takes is refused there, after the old rows were deleted.
    test::writeFile(
        dir.file("long.csv"),
        "\"Journal name\",\"ISSN\",\"eISSN\",\"Total Citations\",\"2023 JIF\",\"JIF Quartile\"\n" +
            std::string(300, 'x') + ",1,2,3,4,Q1\n");
    const test::CommandRun refused = run({"--jcr", dir.file("long.csv"), server->conninfo()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("too long"), std::string::npos) << refused.err;
    EXPECT_EQ(count("jcr2018"), "3");
}

// Two master lists go onto the server as into a database file, with the same summary (merges of a
// stored journal, a twin within the file, an ISSN in another letter case); a load the server refuses
// halfway leaves every journal as it was.
TEST_F(PostgresTarget, MasterListsSayWhatTheFileLoadSays) {
    ASSERT_EQ(run({"--quiet", "--new", server->conninfo()}).status, 0);
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    const std::string header =
        "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n";
    const std::string scie = dir.file("Science Citation Index Expanded (SCIE).csv");
    const std::string esci = dir.file("Emerging Sources Citation Index (ESCI).csv");
    test::writeFile(
        scie, header + "\"Acta\tOptica\",1000-000x,2000-0001,OSA,Washington,English,Optics|Acoustics\n" +
                  std::string(300, 'L') + ",1000-0002,,P,,English,Optics\n" + "Bare,,,P,,English,\n");
    test::writeFile(
        esci, header + "Acta 5\" Disks,1000-000X,,,,English,Optics\n" +
                  "Online\\Only,,2000-0003,,,English,Optics\nOnline Again,,2000-0003,,,English,Optics\n" +
                  "Bare,,,P,,English,\n");
    for (const std::string& file : {scie, esci}) {
        SCOPED_TRACE(file);
        const test::CommandRun intoFile = run({"--master-list", file, "--category", "Physics", database});
        const test::CommandRun ontoServer =
            run({"--master-list", file, "--category", "Physics", server->conninfo()});
        ASSERT_EQ(intoFile.status, 0) << intoFile.err;
        ASSERT_EQ(ontoServer.status, 0) << ontoServer.err;
        const auto said = [](const std::string& out) { return out.substr(out.find(" s: ")); };
        EXPECT_EQ(said(ontoServer.out), said(intoFile.out));
    }

    // What the journals hold is compared with the window's import in master_list_paths_test.cpp.
    const auto serverRows = [&] {
        return server->queryText("SELECT string_agg(j::text, ' / ' ORDER BY lumaref_key) FROM journals j");
    };
    const std::string stored = serverRows();
    EXPECT_EQ(count("journals"), "6");

    // The new journal goes in by COPY before the flag on a stored one is refused: neither stays.
    server->exec(
        "ALTER TABLE journals ADD CHECK (NOT (\"Arts Humanities Citation Index\" AND \"ISSN\" = "
        "'1000-0002'))");
    test::writeFile(dir.file("ahci.csv"), header + "New,3000-0001,,,,English,Optics\n" +
                                              std::string(300, 'L') + ",1000-0002,,P,,English,Optics\n");
    const test::CommandRun refused = run({"--master-list", dir.file("ahci.csv"), "--category", "Physics",
                                          "--index", "AHCI", server->conninfo()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("check constraint"), std::string::npos) << refused.err;
    EXPECT_EQ(serverRows(), stored);
}

}  // namespace
}  // namespace lumaref
