// A database made before the figures from several sources gains their tables and view when it is opened,
// and nothing else changes; a database opened read-only is left exactly as it is.
#include "db/ranking_tables.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "db/connection.h"
#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

constexpr const char* kFiguresObjects =
    "SELECT group_concat(type || ' ' || name, ', ') FROM (SELECT type, name FROM sqlite_master WHERE name "
    "LIKE 'ranking%' OR name = 'journal_rankings' ORDER BY name)";
constexpr const char* kOtherObjects =
    "SELECT group_concat(sql, ';') FROM (SELECT sql FROM sqlite_master WHERE name NOT LIKE 'ranking%' AND "
    "name <> 'journal_rankings' ORDER BY name)";

struct OpenCase {
    const char* name;
    const char* connectionOptions;
    const char* figuresObjects;
};
void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }

class RankingTablesTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RankingTablesTest, AnOlderDatabaseGainsThemWhenOpenedToWrite) {
    test::TempDir dir;
    const std::string path = dir.file("Database.mdb");
    test::execSql(path,
                  "CREATE TABLE journals (\"Title\" TEXT(255), \"ISSN\" TEXT(255));"
                  "INSERT INTO journals VALUES ('Acta', '1000-0001');"
                  "CREATE TABLE jcr2018 (\"ISSN\" TEXT(255));");
    const std::string others = test::queryText(path, kOtherObjects);
    {
        Connection connection("Data Source=" + path + ";" + GetParam().connectionOptions);
        connection.open();
    }
    EXPECT_EQ(test::queryText(path, kFiguresObjects), GetParam().figuresObjects);
    EXPECT_EQ(test::queryText(path, kOtherObjects), others);
    EXPECT_EQ(test::queryText(path, "SELECT Title || ISSN FROM journals"), "Acta1000-0001");
    // Opening again changes nothing more.
    Connection again("Data Source=" + path + ";");
    again.open();
    EXPECT_EQ(test::queryText(path, "SELECT count(*) FROM journal_rankings"), "0");
}

INSTANTIATE_TEST_SUITE_P(
    Opens, RankingTablesTest,
    ::testing::Values(OpenCase{"ToWrite", "",
                               "view journal_rankings, table ranking_figures, table ranking_journals, table "
                               "ranking_loads, table ranking_names"},
                      OpenCase{"ReadOnly", "Mode=Read;", ""}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
