// An SQLite database carried onto a PostgreSQL server reads back the same through the stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/database_file.h"
#include "db/postgres_database_copy.h"
#include "db/postgres_store.h"
#include "db/sqlite_change_log.h"
#include "db/sqlite_store.h"
#include "support/error_text.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

using test::errorOf;

class PostgresDatabaseCopy : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = test::PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
        schema = std::make_unique<test::PostgresSchema>();
    }
    PostgresCopySummary copy(bool replace = false) {
        const DatabaseFile source(path, DatabaseFile::Mode::ReadOnly);
        PgConnection target(schema->conninfo());
        return copySqliteToPostgres(source.handle(), target, replace);
    }

    test::TempDir dir;
    std::string path = dir.file("Database.mdb");
    std::unique_ptr<test::PostgresSchema> schema;
};

std::vector<std::vector<std::string>> rowsOf(const Table& table) {
    std::vector<std::vector<std::string>> rows(table.rowCount());
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (const auto& column : table.columns)
            rows[row].push_back(column.isNull(row) ? "<null>" : std::string(column.text(row)));
    return rows;
}

TEST_F(PostgresDatabaseCopy, EveryTableReadsBackAsFromTheFile) {
    test::createDatabase(
        path, test::journalInsert("Tab\there, back\\slash", "Physics", "Optics", "Monthly") + ";" +
                  test::journalInsert("Zeitschrift f\xC3\xBCr Physik \xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", "",
                                      "", "") +
                  ";INSERT INTO journals (\"Title\", \"Address\", \"Science Citation Index\") VALUES "
                  "('Line\r\nbreak', "
                  "NULL, 1);"
                  "INSERT INTO jcr2018 VALUES (1, 'Nature', '0028-0836', '710000', '43.07', '41.5');"
                  // Two of the figures' tables have no rowid: they come across by their keys.
                  "INSERT INTO ranking_loads VALUES (1, 'SJR', 2023, 'f.csv', '2024-01-01T00:00:00Z');"
                  "INSERT INTO ranking_names VALUES (1, 2, 'SJR'), (1, 1, 'Optics');"
                  "INSERT INTO ranking_journals VALUES (1, 1, '0028-0836', NULL, 'Nature');"
                  "INSERT INTO ranking_figures VALUES (4294967296, 1, 1, 1, 2, 'Q1'), (4294967297, 1, 1, 0, "
                  "2, '1.5');");
    {
        // A file that programs have shared keeps their change log, which stays with the file.
        const DatabaseFile shared(path, DatabaseFile::Mode::ReadWrite);
        noteTableReplaced(shared.handle(), "journals");
    }
    const PostgresCopySummary summary = copy();
    EXPECT_EQ(summary.tables, (std::vector<std::string>{"journals", "jcr2018", "JCRQ1", "JCRQ2", "JCRQ3",
                                                        "JCRQ4", "ranking_loads", "ranking_names",
                                                        "ranking_journals", "ranking_figures"}));
    EXPECT_EQ(summary.rows, 10u);

    const auto file = SqliteStore::open(path, true, 1000);
    const auto server = PostgresStore::open(schema->conninfo(), 1000);
    for (const auto& table : summary.tables) {
        SCOPED_TRACE(table);
        const LoadedTable expected = file->load(table);
        const LoadedTable copied = server->load(table);
        ASSERT_EQ(copied.table.columns.size(), expected.table.columns.size());
        for (std::size_t i = 0; i < expected.table.columns.size(); ++i) {
            EXPECT_EQ(copied.table.columns[i].info().name, expected.table.columns[i].info().name);
            EXPECT_EQ(copied.table.columns[i].kind(), expected.table.columns[i].kind());
            EXPECT_EQ(copied.table.columns[i].info().maxChars, expected.table.columns[i].info().maxChars);
        }
        EXPECT_EQ(rowsOf(copied.table), rowsOf(expected.table));
    }
    // The yes/no defaults came across: a journal appended on the server is in no index.
    LoadedTable journals = server->load("journals");
    const FieldValue title[] = {{0, "New"}};
    server->append("journals", journals.table, title);
    EXPECT_EQ(journals.table.columns[8].text(3), "False");
}

TEST_F(PostgresDatabaseCopy, AFailureLeavesTheServerAsItWas) {
    const struct {
        const char* name;
        const char* sql;
        bool replace;
        const char* error;
    } cases[] = {
        {"a table already there", "", false,
         "The table 'journals' already exists on the server; --force replaces it."},
        {"a zero byte in a text", "INSERT INTO journals (\"Title\") VALUES ('a' || char(0) || 'b');", true,
         "Row 1 of the table 'journals' holds a zero byte in 'Title', which text on the server cannot hold."},
        {"a value the server's type refuses", "INSERT INTO jcr2018 (\"Rank\") VALUES ('first');", true,
         "invalid input syntax for type bigint: \"first\""},
    };
    test::createDatabase(path, test::journalInsert("Kept", "", "", ""));
    copy();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir otherDir;
        path = otherDir.file("Other.mdb");
        test::createDatabase(path, std::string(c.sql) + test::journalInsert("Other", "", "", ""));
        EXPECT_EQ(errorOf([&] { copy(c.replace); }), c.error);
        EXPECT_EQ(schema->queryText("SELECT string_agg(\"Title\", ',') FROM journals"), "Kept");
    }
}

TEST_F(PostgresDatabaseCopy, ReadersMayReadAndAdministratorsMayAlsoWrite) {
    test::createDatabase(path, test::journalInsert("Kept", "", "", ""));
    const PostgresCopySummary summary = copy();
    const std::string readers = schema->createRole("reader");
    const std::string admins = schema->createRole("admin");
    PgConnection owner(schema->conninfo());
    grantTableRights(owner, summary.tables, readers, admins);

    const struct {
        const std::string& role;
        const char* postError;
    } cases[] = {{readers, kReadOnlyMessage}, {admins, "(no error)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role);
        const auto store = PostgresStore::open(schema->conninfo(c.role), 1000);
        LoadedTable journals = store->load("journals");
        const std::string newTitle = "Changed by " + c.role;
        const FieldChange retitle[] = {{0, newTitle, journals.table.columns[0].text(0)}};
        EXPECT_EQ(errorOf([&] { store->update("journals", journals.table, journals.keys[0], retitle); }),
                  c.postError);
        const FieldValue title[] = {{0, "Added"}};
        EXPECT_EQ(errorOf([&] { store->append("journals", journals.table, title); }), c.postError);
    }
}

}  // namespace
}  // namespace lumaref
