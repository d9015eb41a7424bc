#include "text/tab_separated.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "support/case_name.h"

namespace lumaref {
namespace {

struct TsvCase {
    const char* name;
    std::vector<std::string_view> cells;
    std::string line;
};

void PrintTo(const TsvCase& c, std::ostream* out) { *out << c.name; }

class TabSeparatedTest : public ::testing::TestWithParam<TsvCase> {};

TEST_P(TabSeparatedTest, OneLinePerRowEachCellPastedWhole) {
    std::string out = "before\n";
    appendTabSeparatedRow(out, GetParam().cells);
    EXPECT_EQ(out, "before\n" + GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TabSeparatedTest,
    ::testing::Values(
        TsvCase{"Plain", {"Optics Letters", "1234-5678", "3.1"}, "Optics Letters\t1234-5678\t3.1\n"},
        TsvCase{"EmptyCells", {"", "x", ""}, "\tx\t\n"}, TsvCase{"NoCells", {}, "\n"},
        TsvCase{"TabInside", {"a\tb", "c"}, "\"a\tb\"\tc\n"},
        TsvCase{"LineBreaksInside", {"Street 1\r\nCity", "x\ny"}, "\"Street 1\r\nCity\"\t\"x\ny\"\n"},
        TsvCase{"QuotesDoubled", {"The \"Review\"", "O'Brien"}, "\"The \"\"Review\"\"\"\tO'Brien\n"},
        TsvCase{"LoneQuote", {"\""}, "\"\"\"\"\n"},
        TsvCase{"ArabicAndAccents", {"مجلة الفيزياء", "Óptica"}, "مجلة الفيزياء\tÓptica\n"}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
