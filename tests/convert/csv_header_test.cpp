#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "convert/csv_header.h"
#include "support/case_name.h"

namespace lumaref {
namespace {

const std::vector<std::string> kJcrRequired = {"ISSN", "Journal Impact Factor", "Total Cites",
                                               "Impact Factor without Journal Self Cites"};
const std::vector<std::string> kJcrColumns = {
    "Rank",        "Full Journal Title",    "ISSN",
    "Total Cites", "Journal Impact Factor", "Impact Factor without Journal Self Cites"};

struct HeaderCase {
    const char* name;
    std::string text;
    char separator;
    std::size_t line;
    std::size_t fields;
};
void PrintTo(const HeaderCase& c, std::ostream* out) { *out << c.name; }

class CsvHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CsvHeaderTest, FindsTheFirstRowNamingEveryRequiredColumn) {
    CsvHeaderMiss miss;
    const auto header = findCsvHeader(GetParam().text, kJcrRequired, kJcrColumns, &miss);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->separator, GetParam().separator);
    EXPECT_EQ(header->line, GetParam().line);
    EXPECT_EQ(header->names.size(), GetParam().fields);
}

const std::string kCommaHeader =
    "Rank,Full Journal Title,Total Cites,Journal Impact Factor,Eigenfactor Score,ISSN,"
    "Impact Factor without Journal Self Cites\n";

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvHeaderTest,
    ::testing::Values(
        HeaderCase{"FirstLine", kCommaHeader + "1,A,2,3,4,0000-0000,5\n", ',', 1, 7},
        HeaderCase{"AfterAnExportTitleWithCommas",
                   "Journal Data Filtered By: Selected JCR Year: 2018 Selected Editions: SCIE,SSCI\n\n" +
                       kCommaHeader,
                   ',', 3, 7},
        HeaderCase{"Semicolons",
                   "Rank;Full Journal Title;ISSN;Total Cites;Journal Impact Factor;"
                   "Impact Factor without Journal Self Cites\n1;\"A, B\";1234-5678;10;1,5;1,2\n",
                   ';', 1, 6},
        HeaderCase{"Tabs",
                   "ISSN\tTotal Cites\tJournal Impact Factor\tImpact Factor without Journal Self Cites\n",
                   '\t', 1, 4},
        HeaderCase{"NamesInAnyCaseWithBlanks",
                   " issn ,TOTAL CITES, journal impact factor,impact factor WITHOUT journal self cites\n",
                   ',', 1, 4},
        HeaderCase{"AfterATitleWithStrayQuotes", "Selected: \"ACOUSTICS\" on 5\" disks\n" + kCommaHeader, ',',
                   2, 7},
        HeaderCase{"AfterAnOpenQuoteThatNeverCloses",
                   "\"Journal Data 2018\nSelected, 2018\n" + kCommaHeader + "1,2,3,4,5,6,7\n", ',', 3, 7},
        HeaderCase{"QuotedHeaderAfterQuotedTitleLine",
                   "\"Title; \"\"2018\"\"\"\n\"ISSN\",\"Total Cites\",\"Journal Impact Factor\","
                   "\"Impact Factor without Journal Self Cites\"\n",
                   ',', 2, 4}),
    test::CaseName());

TEST(CsvHeader, WithoutAHeaderReportsTheNearestRowAndWhatItLacks) {
    CsvHeaderMiss miss;
    const std::string text =
        "Export of 2018\nRank,Full Journal Title,ISSN,Journal Impact Factor,Eigenfactor Score\n1,A,x,2,3\n";
    EXPECT_FALSE(findCsvHeader(text, kJcrRequired, kJcrColumns, &miss).has_value());
    EXPECT_EQ(miss.line, 2U);
    EXPECT_EQ(miss.missing,
              (std::vector<std::string>{"Total Cites", "Impact Factor without Journal Self Cites"}));
    EXPECT_EQ(miss.names.size(), 5U);
    EXPECT_EQ(miss.names[4], "Eigenfactor Score");
}

TEST(CsvHeader, AnyOtherTableNeedsOneOfItsColumnsAndItsNotNullColumns) {
    const std::vector<TableColumn> columns = {{"id", false}, {"code", true}, {"note", false}};
    const auto required = requiredColumns("codes", columns);
    EXPECT_EQ(required, std::vector<std::string>{"code"});
    EXPECT_EQ(requiredColumns("JCRQ3", {}), std::vector<std::string>{"ISSN"});
    EXPECT_EQ(requiredColumns("jcrq5", {}), std::vector<std::string>{});
    EXPECT_EQ(requiredColumns("JCR2018", {}), kJcrRequired);

    // With nothing required, the header is the first row naming a column of the table.
    const auto header = findCsvHeader("A title\nfoo,NOTE\nx,y\n", {}, {"id", "code", "note"}, nullptr);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->line, 2U);
}

}  // namespace
}  // namespace lumaref
