#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/field.h"

namespace lumaref {

// A whole text (blanks around it allowed) as a number of the kind; nullopt when it is not one.
std::optional<long long> parseInteger(std::string_view text);
std::optional<double> parseReal(std::string_view text);
// A stored yes/no written as text: "True", "Yes" (any letter case, any prefix of them) or a non-zero number.
bool textIsTrue(std::string_view text);

// Numbers as text: shortest round-trip form, "." as decimal separator.
std::string numberText(double value);
std::string numberText(long long value);

// The stored text of a value assigned by the program, checked against the field's kind:
// nullopt for null; throws Error with the field's text for a value the kind does not accept.
std::optional<std::string> acceptedValue(const FieldInfo& field, std::string_view value);

}  // namespace lumaref
