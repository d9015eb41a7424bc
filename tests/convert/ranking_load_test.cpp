// lumaref-convert --sjr, --doaj, --list and --jcr: what each records and says, and --master-list's
// --replace-index. What the files are read into is the core's (tests/exchange/ranking_file_test.cpp).
#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "convert_run.h"
#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

struct LoadCase {
    const char* name;
    std::string file;
    std::vector<std::string> options;  // before the file and the database
    int status;
    const char* says;      // in the summary, or the error
    const char* recorded;  // source, year and figures in the view afterwards; YEAR: this year
};

// DOAJ figures are filed under the year they are loaded.
std::string withThisYear(std::string text) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (const std::size_t at = text.find("YEAR"); at != std::string::npos)
        text.replace(at, 4, std::to_string(local.tm_year + 1900));
    return text;
}
void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class RankingLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(RankingLoadTest, RecordsTheFiguresOfItsSourceAndYear) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    test::writeFile(dir.file("f.csv"), GetParam().file);
    std::vector<std::string> args = GetParam().options;
    args.insert(args.begin() + 1, dir.file("f.csv"));
    args.push_back(database);
    const test::CommandRun run = test::runConvertCommand(args);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_NE((run.status == 0 ? run.out : run.err).find(GetParam().says), std::string::npos)
        << run.out << run.err;
    EXPECT_EQ(test::queryText(database,
                              "SELECT group_concat(s, ' ') FROM (SELECT DISTINCT source || ' ' || "
                              "ifnull(year, '-') AS s FROM journal_rankings ORDER BY s)") +
                  " " + test::queryText(database, "SELECT count(*) FROM journal_rankings"),
              withThisYear(GetParam().recorded));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, RankingLoadTest,
    ::testing::Values(
        LoadCase{"Sjr",
                 "\xEF\xBB\xBFTitle;Issn;SJR;SJR Best Quartile;H index;Categories;Total Docs. (2023)\n"
                 "Acta;10000001;1,5;Q1;10;Optics (Q1);5\nNone;-;0,1;Q4;1;Optics (Q4);1\n",
                 {"--sjr"},
                 0,
                 "Read 2 rows in ",
                 "SJR 2023 4"},
        LoadCase{"SjrOfAGivenYear",
                 "Title;Issn;SJR;SJR Best Quartile;H index;Categories\nActa;10000001;1,5;Q1;10;Optics (Q1)\n",
                 {"--sjr", "--year", "2019"},
                 0,
                 "Recorded 4 figures of 1 journal as SJR 2019; 0 rows without an ISSN.",
                 "SJR 2019 4"},
        LoadCase{
            "Doaj",
            "\"Journal title\",\"Journal ISSN (print version)\",\"Journal EISSN (online version)\",\"APC\"\n"
            "\"Open\",\"\",\"2000-0001\",\"No\"\n",
            {"--doaj"},
            0,
            "Recorded 2 figures of 1 journal as DOAJ ",
            "DOAJ YEAR 2"},
        LoadCase{"OwnList",
                 "Title,ISSN,Level\nActa,1000-0001,A\n",
                 {"--list", "--name", "National list"},
                 0,
                 "Recorded 1 figure of 1 journal as National list; 0 rows without an ISSN.",
                 "National list - 1"},
        LoadCase{
            "JcrExport",
            "\"Journal Data Filtered By: Selected JCR Year: 2023\"\r\n"
            "\"Journal name\",\"ISSN\",\"eISSN\",\"Category\",\"Total Citations\",\"2023 JIF\","
            "\"JIF Quartile\"\r\n"
            "\"Acta\",\"1000-0001\",\"N/A\",\"OPTICS\",\"1,234\",\"2.5\",\"Q1\"\r\n\"Copyright\"\r\n",
            {"--jcr"},
            0,
            "Stored 1 rows in jcr2018, 1 in JCRQ1, 0 in JCRQ2, 0 in JCRQ3, 0 in JCRQ4.\n0 journals without "
            "ISSN or eISSN (not stored), 0 rows without a quartile.\nRecorded 3 figures of 1 journal as JCR "
            "2023",
            "JCR 2023 3"},
        LoadCase{
            "NotAnSjrDownload",
            "Title,ISSN,Level\nActa,1000-0001,A\n",
            {"--sjr"},
            1,
            "is not an SJR journal-rank download: its columns are \"Title\", \"ISSN\", \"Level\"; expected",
            " 0"}),
    test::CaseName());

// A whole index's download counts the category's journals that carry its flag but are no longer in it;
// --replace-index clears their flag, and only theirs.
TEST(MasterListLoad, ReplaceIndexClearsTheFlagOfJournalsNoLongerListed) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(
        database,
        "INSERT INTO journals (Title, ISSN, category, subject, \"Emerging Sources Citation Index\") VALUES "
        "('Moved', '1000-0001', 'Physics', 'Optics', 1), ('Stays', '1000-0002', 'Physics', 'Optics', 1),"
        "('Elsewhere', '1000-0003', 'Chemistry', 'Organic', 1);");
    test::writeFile(dir.file("Emerging Sources Citation Index (ESCI).csv"),
                    "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science "
                    "Categories\nStays,1000-0002,,P,,English,Optics\n");
    const auto load = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"--master-list",
                                         dir.file("Emerging Sources Citation Index (ESCI).csv"), "--category",
                                         "Physics", database};
        args.insert(args.end() - 1, extra.begin(), extra.end());
        return test::runConvertCommand(args);
    };
    const auto flags = [&] {
        return test::queryText(database,
                               "SELECT group_concat(Title || '=' || \"Emerging Sources Citation Index\", "
                               "' ') FROM (SELECT * FROM journals ORDER BY rowid)");
    };
    const test::CommandRun counted = load({});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_NE(counted.out.find("1 journal records of the category carry the flag but are not in the file, 0 "
                               "cleared (--replace-index clears them)."),
              std::string::npos)
        << counted.out;
    EXPECT_EQ(flags(), "Moved=1 Stays=1 Elsewhere=1");

    const test::CommandRun cleared = load({"--replace-index"});
    EXPECT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_NE(cleared.out.find("1 journal records of the category carry the flag but are not in the file, 1 "
                               "cleared."),
              std::string::npos)
        << cleared.out;
    EXPECT_EQ(flags(), "Moved=0 Stays=1 Elsewhere=1");
}

}  // namespace
}  // namespace lumaref
