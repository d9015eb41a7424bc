#pragma once

#include <string>
#include <string_view>

namespace lumaref {

// Which index radio button is checked: 1..4 name an index, 5 is "All".
struct SelectionInputs {
    std::string category;
    std::string subject;
    std::string frequency;
    int indexButton = 5;
};

// A value wrapped in single quotes with every inner single quote doubled: O'Brien -> 'O''Brien'.
std::string quoted(std::string_view value);

// Joins a condition to a filter text with " AND " (or returns the condition alone for an empty text).
void appendCondition(std::string& filter, std::string_view condition);

// The selection filter: category=, subject=, Frequently= (no blanks) and the index condition.
std::string selectionFilterText(const SelectionInputs& inputs);

}  // namespace lumaref
