#include "filter/selection_filter.h"

namespace lumaref {

namespace {

// The yes/no field each index button stands for; button 5 ("All") and anything else adds nothing.
const char* indexCondition(int indexButton) {
    switch (indexButton) {
        case 1:
            return "[Science Citation Index] = True";
        case 2:
            return "[Science Citation Index Expanded] = True";
        case 3:
            return "[Emerging Sources Citation Index] = True";
        case 4:
            return "[Arts Humanities Citation Index] = True";
        default:
            return nullptr;
    }
}

void appendEquality(std::string& filter, std::string_view field, std::string_view value) {
    // The box's text as it stands, untrimmed; an empty box adds no condition.
    if (value.empty()) {
        return;
    }
    std::string condition(field);
    condition += '=';
    condition += quoted(value);
    appendCondition(filter, condition);
}

}  // namespace

std::string selectionFilterText(const SelectionInputs& inputs) {
    std::string filter;
    appendEquality(filter, "category", inputs.category);
    appendEquality(filter, "subject", inputs.subject);
    appendEquality(filter, "Frequently", inputs.frequency);
    if (const char* condition = indexCondition(inputs.indexButton)) {
        appendCondition(filter, condition);
    }
    return filter;
}

}  // namespace lumaref
