#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaref {

// Letter case and blanks of the ASCII range only: keywords, declared types, field names written by
// the program. Bytes outside A-Z and a-z are left as they are (text in general is folded by text_fold).
inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
std::string upperAscii(std::string_view text);

// Eight bytes at once: ASCII capitals lowered, every other byte (any with its high bit set) kept.
inline std::uint64_t lowerAsciiWord(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    const std::uint64_t low = word & (0x7F * kOnes);
    const std::uint64_t fromA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t capitals = fromA & ~pastZ & ~word & (0x80 * kOnes);
    return word | (capitals >> 2);
}
// How many bytes `text` starts with that are ASCII.
std::size_t asciiPrefixLength(std::string_view text);
// Appends `ascii` (ASCII bytes) with its capitals lowered.
void appendLoweredAscii(std::string& out, std::string_view ascii);

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
// Whether `part` is the start of `word` (the whole word included), in any ASCII letter case.
bool startsWordIgnoringAsciiCase(std::string_view part, std::string_view word);

// Blank characters as the parsers of outside text count them.
inline constexpr std::string_view kBlanks = " \t\r\n";
// `text` without the given characters at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = kBlanks);

}  // namespace lumaref
