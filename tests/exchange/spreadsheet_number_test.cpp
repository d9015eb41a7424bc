#include "exchange/spreadsheet_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace lumaref {
namespace {

// A decimal number becomes a number, with a format when the general one would show it otherwise than
// the table does; anything else stays text.
TEST(SpreadsheetNumberTest, ADecimalNumberBecomesANumberShownAsTheTableShowsIt) {
    struct Row {
        std::string_view text;
        std::optional<double> number;
        const char* format = "";
    };
    const Row rows[] = {
        {"52.7", 52.7},
        {"1200", 1200},
        {"-3", -3},
        {"0", 0},
        {"0.25", 0.25},
        {"0.000042", 0.000042},
        {"1.50", 1.5, "0.00"},
        {"1,861", 1861, "#,##0"},
        {"12,345,678.90", 12345678.9, "#,##0.00"},
        {"-1,000", -1000, "#,##0"},
        {"12345678901", 12345678901.0},  // as wide as the general format shows
        {"123456789012", 123456789012.0, "0"},
        {"0.1234567891", 0.1234567891, "0.0000000000"},
        {"123456789012345", 123456789012345.0, "0"},  // 15 significant digits
        {"0.000123456789012345", 0.000123456789012345, "0.000000000000000000"},
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
        {"1,23", std::nullopt},  // not thousands
        {"1,2345", std::nullopt},
        {"1234,567", std::nullopt},
        {"0,123", std::nullopt},
        {"1,", std::nullopt},
        {",123", std::nullopt},
        {"1.234,5", std::nullopt},
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
        const std::optional<SpreadsheetNumber> number = spreadsheetNumber(row.text);
        ASSERT_EQ(number.has_value(), row.number.has_value());
        if (!number) continue;
        EXPECT_EQ(number->value, *row.number);
        EXPECT_EQ(number->format, row.format);
    }
}

}  // namespace
}  // namespace lumaref
