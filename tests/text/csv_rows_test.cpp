#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/case_name.h"
#include "text/csv_rows.h"
#include "text/text_file.h"

namespace lumaref {
namespace {

// Each row as "line:field|field|..."; a blank line shows as "line:" with no fields.
std::vector<std::string> rowsOf(std::string_view text, char separator, CsvSyntaxError* error = nullptr,
                                bool* ok = nullptr, std::vector<std::size_t>* literalQuoteLines = nullptr) {
    std::vector<std::string> rows;
    const bool parsed = readCsvRows(
        text, separator,
        [&](const CsvRow& row) {
            std::string shown = std::to_string(row.line) + ":";
            for (std::size_t i = 0; i < row.size(); ++i) shown += (i == 0 ? "" : "|") + std::string(row[i]);
            rows.push_back(shown);
            return true;
        },
        error, 1, literalQuoteLines);
    if (ok != nullptr) *ok = parsed;
    return rows;
}

struct RowCase {
    const char* name;
    std::string text;
    char separator;
    std::vector<std::string> rows;
    std::vector<std::size_t> literalQuoteLines = {};
};
void PrintTo(const RowCase& c, std::ostream* out) { *out << c.name; }

class CsvRowsTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(CsvRowsTest, SplitsFieldsAndCountsPhysicalLines) {
    bool ok = false;
    std::vector<std::size_t> literalQuoteLines;
    EXPECT_EQ(rowsOf(GetParam().text, GetParam().separator, nullptr, &ok, &literalQuoteLines),
              GetParam().rows);
    EXPECT_TRUE(ok);
    EXPECT_EQ(literalQuoteLines, GetParam().literalQuoteLines);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvRowsTest,
    ::testing::Values(
        RowCase{"CrLf", "a,b\r\nc,d\r\n", ',', {"1:a|b", "2:c|d"}},
        RowCase{"LfWithoutFinalLineEnd", "a,b\nc,d", ',', {"1:a|b", "2:c|d"}},
        RowCase{"LoneCarriageReturns", "a\rb\r", ',', {"1:a", "2:b"}},
        RowCase{"BlankLinesAreRowsWithoutFields", "a\r\n\r\n\nb\n", ',', {"1:a", "2:", "3:", "4:b"}},
        RowCase{"QuotedLineBreaksCountAsLines",
                "x,\"one\r\ntwo\nthree\"\r\nnext,row\r\n",
                ',',
                {"1:x|one\r\ntwo\nthree", "4:next|row"}},
        RowCase{"DoubledQuotesAndQuotedSeparators", "\"a \"\"b\"\", c\",d\n", ',', {"1:a \"b\", c|d"}},
        RowCase{"BlanksAndTabsKeptExactly", " 1.50 ,\t2\t, \n", ',', {"1: 1.50 |\t2\t| "}},
        RowCase{"EmptyFields", ",,\n\"\",x,\n", ',', {"1:||", "2:|x|"}},
        RowCase{"Semicolons", "ISSN;Title, with comma\n", ';', {"1:ISSN|Title, with comma"}},
        RowCase{"Tabs", "a b\tc,d\n", '\t', {"1:a b|c,d"}},
        RowCase{"NonAsciiPassesThrough", "Zürich,東京\n", ',', {"1:Zürich|東京"}},
        RowCase{"CrLfInsideQuotesKeptByteForByte",
                "a,b,c\r\n1,2,3\r\n\"Once upon \r\na time\",5,6\r\n7,8,9\r\n",
                ',',
                {"1:a|b|c", "2:1|2|3", "3:Once upon \r\na time|5|6", "5:7|8|9"}},
        RowCase{"QuoteInsideUnquotedFieldIsACharacter",
                "a,b\n\"x\ny\",z\n5\" disk,37\xC2\xB0"
                "36'37.8\"N\"\nlast,\"q\"\"\"",
                ',',
                {"1:a|b", "2:x\ny|z",
                 "4:5\" disk|37\xC2\xB0"
                 "36'37.8\"N\"",
                 "5:last|q\""},
                {4}},
        RowCase{"QuoteEndingAnUnquotedFieldAfterQuotedOnes",
                "\"a\",\"b\"\n12\",\"x\"\n",
                ',',
                {"1:a|b", "2:12\"|x"},
                {2}},
        RowCase{"LiteralQuotesOnSeveralLinesAtTheEnd", "a\"b\nc;d\"", ';', {"1:a\"b", "2:c|d\""}, {1, 2}}),
    test::CaseName());

struct SyntaxCase {
    const char* name;
    std::string text;
    std::size_t line;
    std::size_t rowsBefore;
};
void PrintTo(const SyntaxCase& c, std::ostream* out) { *out << c.name; }

class CsvSyntaxTest : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(CsvSyntaxTest, NamesTheLineOfAMisplacedOrOpenQuote) {
    CsvSyntaxError error{};
    bool ok = true;
    const auto rows = rowsOf(GetParam().text, ',', &error, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error.line, GetParam().line);
    EXPECT_FALSE(error.reason.empty());
    EXPECT_EQ(rows.size(), GetParam().rowsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvSyntaxTest,
    ::testing::Values(SyntaxCase{"TextAfterClosingQuote", "a,b\nc,\"d\"e,f\ng,h\n", 2, 1},
                      SyntaxCase{"QuoteOpenAtEndOfFile", "a,b\nc,d\n\"e,f\ng,h\n", 3, 2},
                      SyntaxCase{"QuoteOpenOnTheFirstLine", "\"a\rb\n", 1, 0},
                      SyntaxCase{"QuotedFieldOverTheLimit",
                                 "a\n\"" + std::string(kLongestLine, '\n') + "x\"\n", 2, 1},
                      SyntaxCase{"RecordOverTheLimit",
                                 "a\nb," + std::string(kLongestLine / 2, 'x') + ",\"" +
                                     std::string(kLongestLine / 2, 'y') + "\"\n",
                                 2, 1}),
    test::CaseName());

TEST(CsvRows, StopsWhenTheCallerHasSeenEnough) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "row," + std::to_string(i) + "\n";
    std::size_t seen = 0;
    EXPECT_TRUE(readCsvRows(text, ',', [&](const CsvRow&) { return ++seen < 3; }));
    EXPECT_EQ(seen, 3U);
}

TEST(CsvRows, ReservesForItsLinesButNotForAFileOfEmptyOnes) {
    const std::string row = "\"Journal of Optics\",1234-5678,2.5\n";
    std::string rows;
    for (int i = 0; i < 1000; ++i) rows += row;
    EXPECT_EQ(rowsWorthReserving(rows), 1000U);
    EXPECT_LE(rowsWorthReserving(std::string(1'000'000, '\n')), 1'000'000U / 32);
    EXPECT_EQ(rowsWorthReserving(""), 0U);
}

}  // namespace
}  // namespace lumaref
