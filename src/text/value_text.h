#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/field.h"
#include "text/number_text.h"

namespace lumaref {

// A stored yes/no written as text: "True", "Yes" (any letter case, any prefix of them) or a non-zero number.
bool textIsTrue(std::string_view text);

// The part of a text that a text field keeps: at most its declared number of characters.
std::string_view withinFieldSize(const FieldInfo& field, std::string_view text);

// The stored text of a value assigned by the program, checked against the field's kind:
// nullopt for null; throws Error with the field's text for a value the kind does not accept.
std::optional<std::string> acceptedValue(const FieldInfo& field, std::string_view value);

}  // namespace lumaref
