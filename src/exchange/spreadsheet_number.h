#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaref {

// A value of the table as a spreadsheet number, with the number format that shows it as the table
// does: "#,##0" for "1,861", "0.00" for "1.50"; empty when the spreadsheet's general format shows it
// so already ("52.7", "-3").
struct SpreadsheetNumber {
    double value = 0;
    std::string format;
};

// Only a decimal number becomes one: an optional minus, digits without a leading zero (or grouped by
// commas in threes, "12,345"), an optional fraction after a point. Anything else keeps its characters as
// text, so nullopt: an ISSN ("1234-5678"), leading zeros ("007"), "<0.1", "+1", "1e5", "1,23", blanks
// around the digits, negative zero, and more than 15 significant digits, which a spreadsheet would round.
std::optional<SpreadsheetNumber> spreadsheetNumber(std::string_view text);

}  // namespace lumaref
