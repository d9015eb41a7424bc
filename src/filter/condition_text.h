#pragma once

#include <string>
#include <string_view>

namespace lumaref {

// The pieces of the filter texts the program builds.

// A value wrapped in single quotes with every inner single quote doubled: O'Brien -> 'O''Brien'.
std::string quoted(std::string_view value);

// Joins a condition to a filter text with " AND " (or returns the condition alone for an empty text).
void appendCondition(std::string& filter, std::string_view condition);

}  // namespace lumaref
