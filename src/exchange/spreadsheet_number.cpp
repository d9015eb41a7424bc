#include "exchange/spreadsheet_number.h"

#include <charconv>
#include <cstddef>

namespace lumaref {

namespace {

// The most significant digits a spreadsheet keeps: a double shows any 15 of them back unchanged.
constexpr std::size_t kSignificantDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> spreadsheetNumber(std::string_view text) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++at;
    const std::size_t integerStart = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    const std::size_t integerDigits = at - integerStart;
    if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0')) return std::nullopt;
    std::size_t fractionDigits = 0;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fractionStart = ++at;
        while (at < text.size() && isDigit(text[at])) ++at;
        fractionDigits = at - fractionStart;
        if (fractionDigits == 0) return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;

    // Leading zeros ("0.00042") are not significant; every other digit is.
    std::size_t leadingZeros = 0;
    for (std::size_t i = integerStart; i < text.size() && (text[i] == '0' || text[i] == '.'); ++i) {
        if (text[i] == '0') ++leadingZeros;
    }
    const std::size_t digits = integerDigits + fractionDigits;
    if (leadingZeros == digits) {
        if (negative) return std::nullopt;  // a cell would show "-0" as "0"
        return 0.0;
    }
    if (digits - leadingZeros > kSignificantDigits) return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace lumaref
