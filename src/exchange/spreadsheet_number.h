#pragma once

#include <optional>
#include <string_view>

namespace lumaref {

// The number a spreadsheet cell holds for a value of the table, or nullopt when the value stays text.
// Only a plain decimal number becomes one ("52.7", "-3", "0.25", "1200"): an optional minus, digits
// without a leading zero, an optional fraction. Anything else keeps its characters as text: an ISSN
// ("1234-5678"), leading zeros ("007"), "<0.1", "+1", "1e5", "1,234", blanks around the digits, negative
// zero, and more than 15 significant digits, which a spreadsheet would round.
std::optional<double> spreadsheetNumber(std::string_view text);

}  // namespace lumaref
