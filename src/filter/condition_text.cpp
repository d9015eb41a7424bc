#include "filter/condition_text.h"

namespace lumaref {

std::string quoted(std::string_view value) {
    std::string text;
    text.reserve(value.size() + 2);
    text += '\'';
    for (const char c : value) {
        if (c == '\'') {
            text += '\'';
        }
        text += c;
    }
    text += '\'';
    return text;
}

void appendCondition(std::string& filter, std::string_view condition) {
    if (!filter.empty()) {
        filter += " AND ";
    }
    filter += condition;
}

}  // namespace lumaref
