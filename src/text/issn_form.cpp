#include "text/issn_form.h"

#include "text/ascii.h"

namespace lumaref {

std::optional<std::string> printedIssn(std::string_view text) {
    text = trimmed(text);
    const bool hyphen = text.size() == 9 && text[4] == '-';
    if (text.size() != 8 && !hyphen) return std::nullopt;
    std::string printed;
    printed.reserve(9);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (hyphen && i == 4) continue;
        const char c = text[i];
        const bool last = printed.size() == 8;  // four digits, the hyphen, three digits
        if (c >= '0' && c <= '9') {
            printed += c;
        } else if (last && (c == 'x' || c == 'X')) {
            printed += 'X';
        } else {
            return std::nullopt;
        }
        if (printed.size() == 4) printed += '-';
    }
    return printed;
}

}  // namespace lumaref
