#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "convert/csv_command.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun runCommand(const std::vector<std::string>& args, bool terminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    const bool isNew = std::find(args.begin(), args.end(), "--new") != args.end();
    const int status =
        isNew ? runNewDatabaseCommand(args, out, err) : runCsvLoadCommand(args, out, err, terminal);
    return {status, out.str(), err.str()};
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* problem;
};

class CsvCommandUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CsvCommandUsageTest, ExplainsWhatIsMissingAndShowsTheUsage) {
    const CommandRun run = runCommand(GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--csv FILE --table NAME"), std::string::npos);
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CsvCommandUsageTest,
    ::testing::Values(
        UsageCase{"NewWithoutTarget", {"--new"}, "--new needs the path"},
        UsageCase{"NewWithStrayWord", {"--new", "a.mdb", "b.mdb"}, "unexpected \"b.mdb\""},
        UsageCase{"CsvWithoutTable", {"--csv", "f.csv", "Database.mdb"}, "--table"},
        UsageCase{"CsvWithoutTarget", {"--csv", "f.csv", "--table", "JCRQ1"}, "the database"},
        UsageCase{"CsvWithTwoTargets", {"--csv", "f.csv", "--table", "JCRQ1", "a", "b"}, "unexpected \"b\""},
        UsageCase{"CsvWithUnknownOption", {"--csv", "f.csv", "--force", "a"}, "unexpected \"--force\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvCommand, NewThenLoadSummarisesAndWarnsAndFailsWithStatusOne) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    ASSERT_EQ(runCommand({"--new", database}).status, 0);
    const CommandRun again = runCommand({"--new", database});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("give --force"), std::string::npos);

    std::string csv = "Quartile 1 journals\nRank,Journal Title,ISSN\n";
    for (int i = 0; i < 5000; ++i) csv += std::to_string(i) + ",T,1234-5678\n";
    csv += "9,Bad,12345678\nCopyright line\n";
    test::writeFile(dir.file("q1.csv"), csv);

    const CommandRun load = runCommand({"--csv", dir.file("q1.csv"), "--table", "JCRQ1", database}, true);
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_NE(load.out.find("Loaded 5001 rows into JCRQ1 in "), std::string::npos) << load.out;
    EXPECT_NE(load.out.find("Lines skipped: 2 (1 before the header, 0 blank, 1 closing notes)"),
              std::string::npos);
    EXPECT_NE(load.out.find("note on line 5004: Copyright line"), std::string::npos);
    EXPECT_NE(load.out.find("ignored: Rank."), std::string::npos);
    EXPECT_NE(load.err.find("Rows read: 4096"), std::string::npos);
    EXPECT_NE(load.err.find(
                  "1 ISSN is not of the form 1234-567X and will match no journal: line 5003 \"12345678\""),
              std::string::npos)
        << load.err;

    const CommandRun quiet =
        runCommand({"--quiet", "--csv", dir.file("q1.csv"), "--append", "--table", "JCRQ1", database}, true);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err.find("Rows read"), std::string::npos);
    EXPECT_EQ(test::queryText(database, "SELECT count(*) FROM JCRQ1"), "10002");

    const CommandRun failed = runCommand({"--csv", dir.file("missing.csv"), "--table", "JCRQ1", database});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("lumaref-convert: Cannot read the CSV file"), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace lumaref
