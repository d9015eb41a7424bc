#pragma once

#include <string_view>

namespace lumaref {

// "1234-567X": four digits, a hyphen, three digits and a digit or capital X. The ranking updates
// match ISSNs byte for byte, so any other spelling finds no journal.
inline bool hasIssnForm(std::string_view text) {
    if (text.size() != 9 || text[4] != '-') return false;
    for (std::size_t i = 0; i < 9; ++i) {
        if (i == 4) continue;
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (!digit && !(i == 8 && text[i] == 'X')) return false;
    }
    return true;
}

}  // namespace lumaref
