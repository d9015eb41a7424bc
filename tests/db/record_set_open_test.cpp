// Opening the database and its record sets, and what a closed record set answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "text/error.h"

namespace lumaref {
namespace {

using test::TempDir;

using test::errorOf;

TEST(ConnectionOpen, MissingFileIsReportedWithItsAbsolutePathByTheConnectionAndEveryRecordSet) {
    TempDir dir;
    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    const std::string expected = "Could not find file '" + dir.file("Database.mdb") + "'.";
    EXPECT_EQ(errorOf([&] { connection.open(); }), expected);
    for (const char* table : {"journals", "jcr2018", "JCRQ1"}) {
        RecordSet query("ADOQuery1", connection, table);
        EXPECT_EQ(errorOf([&] { query.open(); }), expected) << table;
        EXPECT_FALSE(query.active());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("Database.mdb")))
        << "a missing database must never be created";
}

TEST(ConnectionOpen, DataSourceIsRelativeToTheCurrentDirectory) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("sub"));
    test::createDatabase(dir.file("sub/Database.mdb"), test::journalInsert("Optics Letters"));
    test::CurrentDir cwd(dir.file("sub"));
    Connection connection(kDefaultConnectionString);
    connection.open();
    EXPECT_EQ(connection.dataSourcePath(), dir.file("sub/Database.mdb"));
}

TEST(ConnectionOpen, RefusesFilesThatAreNotSqliteDatabases) {
    TempDir dir;
    test::CurrentDir cwd(dir.path());
    struct Case {
        std::string bytes;
        std::string expectedPart;
    };
    const Case cases[] = {
        {std::string("\0\1\0\0Standard Jet DB\0", 20) + std::string(2000, '\0'), "Microsoft Access database"},
        {std::string("\0\1\0\0Standard ACE DB\0", 20) + std::string(2000, '\0'), "Microsoft Access database"},
        {std::string(4096, 'x'), "not a database file"},
    };
    for (const auto& c : cases) {
        test::writeFile(dir.file("Database.mdb"), c.bytes);
        Connection connection(kDefaultConnectionString);
        const std::string message = errorOf([&] { connection.open(); });
        EXPECT_NE(message.find(c.expectedPart), std::string::npos) << message;
        EXPECT_NE(message.find(dir.file("Database.mdb")), std::string::npos) << message;
        EXPECT_FALSE(connection.connected());
    }
}

TEST(ConnectionOpen, RefusesARealAccessDatabaseNamingIt) {
    const std::string jet = std::string(LUMAREF_TESTDATA_DIR) + "/jet/nwind.mdb";
    ASSERT_TRUE(std::filesystem::exists(jet)) << "no Jet test data at " << jet;
    TempDir dir;
    std::filesystem::copy_file(jet, dir.file("Database.mdb"));
    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    try {
        connection.open();
        ADD_FAILURE() << "an Access file opened";
    } catch (const AccessDatabaseError& refused) {
        EXPECT_EQ(refused.path(), dir.file("Database.mdb"));
    }
    EXPECT_FALSE(connection.connected());
}

TEST(ConnectionString, ParsesPairsQuotesAndBlanks) {
    const auto pairs = parseConnectionString(
        " Provider = Microsoft.Jet.OLEDB.4.0 ;DATA SOURCE=\"my;file.mdb\";Persist Security Info=False;;");
    EXPECT_EQ(pairs.at("provider"), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(pairs.at("data source"), "my;file.mdb");
    EXPECT_EQ(pairs.at("persist security info"), "False");
    EXPECT_EQ(parseConnectionString("Data Source='it''s.mdb'").at("data source"), "it's.mdb");
    for (const char* bad : {"Data Source", "=x", "Data Source='open", "a='b' c"}) {
        EXPECT_THROW(parseConnectionString(bad), Error) << bad;
    }
}

TEST(RecordSetOpen, MissingTableReportsOnlyThatRecordSet) {
    TempDir dir;
    test::CurrentDir cwd(dir.path());
    test::createDatabase(dir.file("Database.mdb"), "DROP TABLE jcr2018;" + test::journalInsert("A"));
    Connection connection(kDefaultConnectionString);
    connection.open();
    RecordSet journals("ADOQuery1", connection, "journals");
    RecordSet ranking("ADOQuery2", connection, "jcr2018");
    journals.open();
    EXPECT_EQ(
        errorOf([&] { ranking.open(); }),
        "Cannot find the input table or query 'jcr2018'. Make sure it exists and that its name is spelled "
        "correctly.");
    EXPECT_TRUE(journals.active());
    EXPECT_EQ(journals.recordCount(), 1);
    EXPECT_FALSE(ranking.active());
}

TEST(RecordSetOpen, ClosedRecordSetRefusesReadsButStoresFilterSettings) {
    TempDir dir;
    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    RecordSet query("ADOQuery1", connection, "journals");
    const std::string closed = "ADOQuery1: Cannot perform this operation on a closed dataset";
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"RecordCount", [&] { query.recordCount(); }},
        {"RecNo", [&] { query.recNo(); }},
        {"First", [&] { query.first(); }},
        {"Next", [&] { query.next(); }},
        {"FieldAsString", [&] { query.fieldAsString("Title"); }},
        {"Edit", [&] { query.edit(); }},
        {"Append", [&] { query.append(); }},
        {"Post", [&] { query.post(); }},
    };
    for (const auto& [name, operation] : operations) EXPECT_EQ(errorOf(operation), closed) << name;
    query.setFiltered(false);
    query.setFilter("category='x'");
    query.setFiltered(true);
    EXPECT_EQ(query.filter(), "category='x'");
    EXPECT_TRUE(query.filtered());
    EXPECT_TRUE(query.eof());
}

TEST(RecordSetOpen, ReadsEveryKindAsText) {
    TempDir dir;
    test::CurrentDir cwd(dir.path());
    test::createDatabase(dir.file("Database.mdb"),
                         "CREATE TABLE kinds (t TEXT(10), m MEMO, b BOOLEAN, i INTEGER, r REAL, d DOUBLE);"
                         "INSERT INTO kinds VALUES ('abc', 'long text', 1, 42, 2.50, 0.1);"
                         "INSERT INTO kinds VALUES (NULL, NULL, 0, -7, 1e21, NULL);"
                         "INSERT INTO kinds VALUES (NULL, NULL, NULL, NULL, NULL, NULL);");
    Connection connection(kDefaultConnectionString);
    RecordSet query("ADOQuery1", connection, "kinds");
    query.open();
    const std::vector<std::vector<std::string>> expected = {
        {"abc", "long text", "True", "42", "2.5", "0.1"},
        {"", "", "False", "-7", "1e+21", ""},
        {"", "", "", "", "", ""},
    };
    ASSERT_EQ(query.recordCount(), 3);
    query.first();
    for (const auto& row : expected) {
        for (int field = 0; field < query.fieldCount(); ++field) {
            EXPECT_EQ(query.fieldAsString(field), row[static_cast<std::size_t>(field)])
                << "row " << query.recNo() << " field " << field;
        }
        query.next();
    }
    EXPECT_EQ(query.field(0).maxChars, 10u);
    EXPECT_EQ(query.field(2).kind, FieldKind::Boolean);
    EXPECT_EQ(query.field(4).kind, FieldKind::Real);
}

}  // namespace
}  // namespace lumaref
