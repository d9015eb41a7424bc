#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/number_text.h"
#include "text/yes_no.h"

namespace lumaref {
namespace {

std::string shown(std::optional<bool> value) { return value ? (*value ? "yes" : "no") : "neither"; }

// Each reader of yes/no keeps the spellings it has always accepted.
TEST(YesNoTest, EachReaderAcceptsItsOwnForms) {
    struct Row {
        const char* reader;
        YesNoForms forms;
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"stored", kStoredYesNo, "t", "yes"},
        {"stored", kStoredYesNo, "YES", "yes"},
        {"stored", kStoredYesNo, "Fa", "no"},
        {"stored", kStoredYesNo, "n", "no"},
        {"stored", kStoredYesNo, "2.5", "yes"},
        {"stored", kStoredYesNo, " 0 ", "no"},
        {"stored", kStoredYesNo, "", "neither"},
        {"stored", kStoredYesNo, "truth", "neither"},
        {"stored", kStoredYesNo, " true", "neither"},
        {"stored", kStoredYesNo, "\t1", "neither"},
        {"assigned", kAssignedYesNo, "tR", "yes"},
        {"assigned", kAssignedYesNo, "FALSE", "no"},
        {"assigned", kAssignedYesNo, "Yes", "neither"},
        {"assigned", kAssignedYesNo, "1", "neither"},
        {"csv", kCsvYesNo, "-1", "yes"},
        {"csv", kCsvYesNo, "0", "no"},
        {"csv", kCsvYesNo, "y", "yes"},
        {"csv", kCsvYesNo, "No", "no"},
        {"csv", kCsvYesNo, "2", "neither"},
        {"csv", kCsvYesNo, "1.0", "neither"},
        {"csv", kCsvYesNo, " 1", "neither"},
        {"filter", kFilterYesNo, "TRUE", "yes"},
        {"filter", kFilterYesNo, "false", "no"},
        {"filter", kFilterYesNo, "t", "neither"},
        {"filter", kFilterYesNo, "-3", "yes"},
        {"filter", kFilterYesNo, "0.0", "no"},
        {"filter", kFilterYesNo, "yes", "neither"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(shown(parseYesNo(row.text, row.forms)), row.expected)
            << row.reader << " [" << row.text << "]";
    }
}

TEST(NumberTextTest, BlanksAndSignsAroundNumbers) {
    struct Row {
        const char* text;
        const char* spaces;  // parseReal with spaces around; "-" for no number
        const char* tabs;    // with tabs too
    };
    const Row rows[] = {
        {" 1.5 ", "1.5", "1.5"},
        {"\t2\t", "-", "2"},
        {"+3", "3", "3"},
        {"+-3", "-", "-"},
        {"-0.25", "-0.25", "-0.25"},
        {"1e400", "-", "-"},
        {"inf", "-", "-"},
        {"+", "-", "-"},
        {"", "-", "-"},
    };
    const auto text = [](std::optional<double> value) {
        return value ? numberText(*value) : std::string("-");
    };
    for (const Row& row : rows) {
        EXPECT_EQ(text(parseReal(row.text)), row.spaces) << "[" << row.text << "]";
        EXPECT_EQ(text(parseReal(row.text, NumberBlanks::SpacesAndTabs)), row.tabs) << "[" << row.text << "]";
    }
    EXPECT_EQ(parseInteger(" +7 "), 7);
    EXPECT_EQ(parseInteger("7.0"), std::nullopt);
    EXPECT_EQ(parseInteger("99999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace lumaref
