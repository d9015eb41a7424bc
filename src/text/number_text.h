#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaref {

// Which blanks may stand around a number: a value assigned to or stored in a field allows spaces; a
// number in a filter text, or a cell read as one by a filter, also tabs.
enum class NumberBlanks { Spaces, SpacesAndTabs };

// A whole text as a number: optional blanks, an optional sign ("+" or "-"), digits (a real also with
// "." and an exponent). Nullopt when it is not one, and for a real that is not finite.
std::optional<long long> parseInteger(std::string_view text);
std::optional<double> parseReal(std::string_view text, NumberBlanks blanks = NumberBlanks::Spaces);

// Numbers as text: shortest round-trip form, "." as decimal separator.
std::string numberText(double value);
std::string numberText(long long value);

}  // namespace lumaref
