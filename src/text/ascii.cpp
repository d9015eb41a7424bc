#include "text/ascii.h"

namespace lumaref {

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

bool startsWordIgnoringAsciiCase(std::string_view part, std::string_view word) {
    return part.size() <= word.size() && equalsIgnoringAsciiCase(part, word.substr(0, part.size()));
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return text.substr(text.size());
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace lumaref
