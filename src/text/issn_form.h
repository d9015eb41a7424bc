#pragma once

#include <optional>
#include <string>
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

// An ISSN in any form ranking files write it: with or without the hyphen, a lower-case x, blanks
// around it; returned in the printed form "1234-567X". nullopt for none ("", "-", "N/A") and for
// text that is not an ISSN. The check character is not verified: files carry numbers with a wrong
// one, and they still name their journal.
std::optional<std::string> printedIssn(std::string_view text);

}  // namespace lumaref
