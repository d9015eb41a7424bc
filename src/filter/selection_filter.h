#pragma once

#include <string>
#include <string_view>

#include "filter/condition_text.h"

namespace lumaref {

// Which index radio button is checked: 1..4 name an index, 5 is "All".
struct SelectionInputs {
    std::string category;
    std::string subject;
    std::string frequency;
    int indexButton = 5;
};

// The selection filter: category=, subject=, Frequently= (no blanks) and the index condition.
std::string selectionFilterText(const SelectionInputs& inputs);

}  // namespace lumaref
