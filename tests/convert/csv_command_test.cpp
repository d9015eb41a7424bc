#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "convert_run.h"
#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* problem;
};
void PrintTo(const UsageCase& c, std::ostream* out) { *out << c.name; }

class CsvCommandUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CsvCommandUsageTest, ExplainsWhatIsWrongWithTheCommandLine) {
    try {
        parseConvertArguments(GetParam().args);
        ADD_FAILURE() << "accepted";
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().problem), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CsvCommandUsageTest,
    ::testing::Values(
        UsageCase{"NewWithEmptyTarget", {"--new", ""}, "'--new' needs a value"},
        UsageCase{"NewWithStrayFile", {"--new", "a.mdb", "b.mdb"}, "takes no other file"},
        UsageCase{"NewAndCsvTogether", {"--new", "a.mdb", "--csv", "f.csv"}, "separate steps"},
        UsageCase{"CsvWithoutTable", {"--csv", "f.csv", "Database.mdb"}, "needs '--table NAME'"},
        UsageCase{"CsvWithTwoTargets", {"--csv", "f.csv", "--table", "JCRQ1", "a", "b"}, "too many"},
        UsageCase{"TableWithoutCsv", {"--table", "JCRQ1", "a", "b"}, "go with '--csv'"},
        UsageCase{"CsvWithForce",
                  {"--csv", "f.csv", "--table", "JCRQ1", "--force", "a"},
                  "'--force' does not go with '--csv'"},
        UsageCase{
            "MasterListWithoutCategory", {"--master-list", "f.csv", "D.mdb"}, "needs '--category NAME'"},
        UsageCase{"CategoryWithoutMasterList", {"--category", "X", "--jcr", "f.csv", "D.mdb"}, "go with"},
        UsageCase{"MasterListAndJcrTogether",
                  {"--master-list", "f.csv", "--category", "X", "--jcr", "j.csv", "D.mdb"},
                  "separate steps"},
        UsageCase{"ListWithoutName", {"--list", "l.csv", "D.mdb"}, "'--list' needs '--name NAME'"},
        UsageCase{"YearOfADoajFile", {"--doaj", "d.csv", "--year", "2024"}, "'--year' goes with"},
        UsageCase{"YearNotOfFourDigits", {"--sjr", "s.csv", "--year", "24"}, "four digits"},
        UsageCase{"ReplaceIndexWithoutMasterList",
                  {"--sjr", "s.csv", "--replace-index"},
                  "go with '--master-list'"},
        UsageCase{
            "SjrAndListTogether", {"--sjr", "s.csv", "--list", "l.csv", "--name", "N"}, "separate steps"},
        UsageCase{"JcrWithAppend", {"--jcr", "j.csv", "--append", "D.mdb"}, "do not go with '--jcr'"}),
    test::CaseName());

TEST(CsvCommand, ParsesBothModesWithOptionsInAnyOrder) {
    const ConvertInvocation load =
        parseConvertArguments({"--quiet", "D.mdb", "--table", "-odd", "--append", "--csv", "f.csv"});
    EXPECT_EQ(load.mode, ConvertInvocation::Mode::LoadCsv);
    EXPECT_EQ(load.csvFile, "f.csv");
    EXPECT_EQ(load.table, "-odd");
    EXPECT_EQ(load.target, "D.mdb");
    EXPECT_TRUE(load.append && load.quiet);
    const ConvertInvocation created = parseConvertArguments({"--force", "--new", "New.mdb"});
    EXPECT_EQ(created.mode, ConvertInvocation::Mode::NewDatabase);
    EXPECT_EQ(created.target, "New.mdb");
    EXPECT_TRUE(created.force);
    // Without a target both leave it to the data folder; an option after --new is not its target.
    const ConvertInvocation newHere = parseConvertArguments({"--new", "--force"});
    EXPECT_EQ(newHere.mode, ConvertInvocation::Mode::NewDatabase);
    EXPECT_EQ(newHere.target, "");
    EXPECT_TRUE(newHere.force);
    EXPECT_EQ(parseConvertArguments({"--csv", "f.csv", "--table", "JCRQ1"}).target, "");
    // So do the loads.
    EXPECT_EQ(parseConvertArguments({"--jcr", "j.csv"}).target, "");
    EXPECT_EQ(parseConvertArguments({"--master-list", "m.csv", "--category", "C"}).target, "");
    const ConvertInvocation list =
        parseConvertArguments({"--year", "2024", "--list", "l.csv", "--name", "N"});
    EXPECT_EQ(list.mode, ConvertInvocation::Mode::LoadList);
    EXPECT_EQ(list.rankingFile, "l.csv");
    EXPECT_EQ(list.listName, "N");
    EXPECT_EQ(list.year, 2024);
    EXPECT_EQ(list.target, "");
}

TEST(CsvCommand, NewThenLoadSummarisesAndWarnsAndFailsWithStatusOne) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    ASSERT_EQ(test::runConvertCommand({"--new", database}).status, 0);
    const test::CommandRun again = test::runConvertCommand({"--new", database});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("use --force"), std::string::npos);

    std::string csv = "Quartile 1 journals\nRank,Journal Title,ISSN\n";
    for (int i = 0; i < 5000; ++i) csv += std::to_string(i) + ",T,1234-5678\n";
    csv += "8,5\" Disk,1234-5678\n9,Bad,12345678\nCopyright line\n";
    test::writeFile(dir.file("q1.csv"), csv);

    const test::CommandRun load =
        test::runConvertCommand({"--csv", dir.file("q1.csv"), "--table", "JCRQ1", database}, true);
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_NE(load.out.find("Rows read: 4096"), std::string::npos);
    EXPECT_NE(load.out.find("Loaded 5002 rows into JCRQ1 in "), std::string::npos) << load.out;
    EXPECT_NE(load.out.find("Lines skipped: 2 (1 before the header, 0 blank, 1 closing note)"),
              std::string::npos);
    EXPECT_NE(load.out.find("note on line 5005: Copyright line"), std::string::npos);
    EXPECT_NE(load.out.find("ignored: Rank."), std::string::npos);
    EXPECT_NE(load.err.find(
                  "1 ISSN is not of the form 1234-567X and will match no journal: line 5004 \"12345678\""),
              std::string::npos)
        << load.err;
    EXPECT_NE(load.err.find("Warning: a quote inside a field that does not start with one was read as a "
                            "character, on line 5003.\n"),
              std::string::npos)
        << load.err;

    const test::CommandRun quiet = test::runConvertCommand(
        {"--quiet", "--csv", dir.file("q1.csv"), "--append", "--table", "JCRQ1", database}, true);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(test::queryText(database, "SELECT count(*) FROM JCRQ1"), "10004");

    const test::CommandRun failed =
        test::runConvertCommand({"--csv", dir.file("missing.csv"), "--table", "JCRQ1", database});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("lumaref-convert: Cannot read the CSV file"), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace lumaref
