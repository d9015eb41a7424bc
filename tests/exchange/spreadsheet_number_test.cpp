#include "exchange/spreadsheet_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace lumaref {
namespace {

// Only a value a spreadsheet shows back as it stands (apart from trailing zeros) becomes a number.
TEST(SpreadsheetNumberTest, OnlyAPlainDecimalNumberBecomesANumber) {
    struct Row {
        std::string_view text;
        std::optional<double> number;
    };
    const Row rows[] = {
        {"52.7", 52.7},
        {"1200", 1200},
        {"-3", -3},
        {"0", 0},
        {"0.25", 0.25},
        {"0.000042", 0.000042},
        {"1.50", 1.5},
        {"123456789012345", 123456789012345.0},  // 15 significant digits
        {"0.000123456789012345", 0.000123456789012345},
        {"1234567890123456", std::nullopt},  // 16: a spreadsheet would round it
        {"1.234567890123456", std::nullopt},
        {"1234-5678", std::nullopt},  // an ISSN
        {"1234-567X", std::nullopt},
        {"007", std::nullopt},  // leading zeros are part of the text
        {"00", std::nullopt},
        {"-0", std::nullopt},  // shown back as "0"
        {"-0.0", std::nullopt},
        {"<0.1", std::nullopt},
        {"+1", std::nullopt},
        {"1e5", std::nullopt},
        {"1,234", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {".5", std::nullopt},
        {"5.", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"1.2.3", std::nullopt},
        {"N/A", std::nullopt},
        {"\xD9\xA3", std::nullopt},  // an Arabic-Indic digit
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(spreadsheetNumber(row.text), row.number);
    }
}

}  // namespace
}  // namespace lumaref
