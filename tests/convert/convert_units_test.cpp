// The converter's small units: its command line, Access dates and column types.
#include <gtest/gtest.h>
#include <mdbtools.h>

#include <cmath>
#include <ctime>

#include "convert/convert_arguments.h"
#include "convert/jet_column.h"
#include "convert/jet_date.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "text/error.h"

namespace lumaref {
namespace {

struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* parsed;  // mode|source|target|force|quiet, or "error: <words>"
};
void PrintTo(const ArgumentCase& c, std::ostream* out) { *out << c.name; }

std::string describe(const ConvertInvocation& invocation) {
    const bool help = invocation.mode == ConvertInvocation::Mode::Help;
    return std::string(help ? "help" : "convert") + "|" + invocation.source + "|" + invocation.target + "|" +
           (invocation.force ? "force" : "") + "|" + (invocation.quiet ? "quiet" : "");
}

class ConvertArguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ConvertArguments, ParseOrExplainWhatIsWrong) {
    std::string result;
    try {
        result = describe(parseConvertArguments(GetParam().arguments));
    } catch (const UsageError& error) {
        result = std::string("error: ") + error.what();
    }
    EXPECT_EQ(result, GetParam().parsed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertArguments,
    ::testing::Values(
        ArgumentCase{"SourceAndTarget", {"a.mdb", "b.db"}, "convert|a.mdb|b.db||"},
        ArgumentCase{
            "OptionsAnywhere", {"--quiet", "a.mdb", "--force", "b.db"}, "convert|a.mdb|b.db|force|quiet"},
        ArgumentCase{"NamesStartingWithADash", {"--", "-a.mdb", "--force"}, "convert|-a.mdb|--force||"},
        ArgumentCase{"Help", {"a.mdb", "--help"}, "help||||"},
        ArgumentCase{"NoArguments", {}, "error: expected a source Access file and a target database"},
        ArgumentCase{"OnlySource", {"a.mdb"}, "error: expected a source Access file and a target database"},
        ArgumentCase{"ThreeFiles", {"a", "b", "c"}, "error: too many arguments"},
        ArgumentCase{"UnknownOption", {"a", "b", "--forse"}, "error: unknown option '--forse'"},
        ArgumentCase{"EmptyName", {"a", ""}, "error: a file name is empty"}),
    test::CaseName());

struct DateCase {
    const char* name;
    double days;
    const char* text;  // "" when refused
};
void PrintTo(const DateCase& c, std::ostream* out) { *out << c.name; }

class JetDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(JetDates, ReadAsIsoText) { EXPECT_EQ(jetDateText(GetParam().days).value_or(""), GetParam().text); }

// Day numbers are Access's: 0 is 1899-12-30, and before it the fraction still counts forward from midnight.
INSTANTIATE_TEST_SUITE_P(
    Cases, JetDates,
    ::testing::Values(DateCase{"DayZero", 0, "1899-12-30T00:00:00"},
                      DateCase{"Noon", 1.5, "1899-12-31T12:00:00"},
                      DateCase{"BeforeDayZeroKeepsTheTimeForward", -1.25, "1899-12-29T06:00:00"},
                      DateCase{"LeapDay", 36585, "2000-02-29T00:00:00"},
                      DateCase{"RoundsToTheNextMidnight", 2.9999999, "1900-01-02T00:00:00"},
                      DateCase{"FirstDayAccessAllows", -657434, "0100-01-01T00:00:00"},
                      DateCase{"LastSecondAccessAllows", 2958465.99998, "9999-12-31T23:59:58"},
                      DateCase{"BeforeTheYear100", -657435, ""}, DateCase{"AfterTheYear9999", 2958466, ""},
                      DateCase{"NotANumber", std::nan(""), ""}),
    test::CaseName());

// Where libmdb's own calendar works (day numbers 0 to 10^6), both read every day and time alike.
TEST(JetDates, AgreeWithLibmdbsCalendar) {
    for (double days = 0; days < 1e6; days += 997.123) {
        std::tm time{};
        mdb_date_to_tm(days, &time);
        char expected[64];
        std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &time);
        EXPECT_EQ(jetDateText(days).value_or(""), expected) << days;
    }
}

TEST(JetColumns, TypesWithoutAFaithfulPlaceAreRefusedByName) {
    EXPECT_EQ(test::errorOf([] { mapJetColumn("Staff", "Photos", MDB_COMPLEX, 4, false, 0, 0); }),
              "Table 'Staff', field 'Photos': the Access type 'Attachment or multi-valued field' cannot be "
              "converted.");
    EXPECT_EQ(test::errorOf([] { mapJetColumn("T", "C", 0x42, 4, false, 0, 0); }),
              "Table 'T', field 'C': the Access type 'unknown type 66' cannot be converted.");
    EXPECT_EQ(mapJetColumn("T", "C", MDB_TEXT, 510, false, 0, 0).declaredType, "TEXT(255)")
        << "Jet 4: two bytes a letter";
    EXPECT_EQ(mapJetColumn("T", "C", MDB_TEXT, 50, true, 0, 0).declaredType, "TEXT(50)");
    EXPECT_EQ(mapJetColumn("T", "C", MDB_NUMERIC, 17, false, 18, 4).declaredType, "DECIMAL(18,4)");
}

}  // namespace
}  // namespace lumaref
