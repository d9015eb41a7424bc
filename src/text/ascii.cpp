#include "text/ascii.h"

#include <cstring>

namespace lumaref {

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

std::size_t asciiPrefixLength(std::string_view text) {
    std::size_t at = 0;
    for (std::uint64_t word = 0; at + sizeof word <= text.size(); at += sizeof word) {
        std::memcpy(&word, text.data() + at, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
    return at;
}

void appendLoweredAscii(std::string& out, std::string_view ascii) {
    const std::size_t start = out.size();
    out.append(ascii);
    char* const bytes = out.data() + start;
    std::size_t at = 0;
    for (std::uint64_t word = 0; at + sizeof word <= ascii.size(); at += sizeof word) {
        std::memcpy(&word, bytes + at, sizeof word);
        word = lowerAsciiWord(word);
        std::memcpy(bytes + at, &word, sizeof word);
    }
    for (; at < ascii.size(); ++at) bytes[at] = lowerAscii(bytes[at]);
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
