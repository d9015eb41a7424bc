#include "exchange/spreadsheet_number.h"

#include <charconv>
#include <cstddef>

namespace lumaref {

namespace {

// The most significant digits a spreadsheet keeps: a double shows any 15 of them back unchanged.
constexpr std::size_t kSignificantDigits = 15;
// The longest number the general format shows as written; a longer one it rounds or writes with an
// exponent.
constexpr std::size_t kGeneralWidth = 11;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - at;
}

}  // namespace

std::optional<SpreadsheetNumber> spreadsheetNumber(std::string_view text) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++at;

    // The integer part: plain, or grouped by commas in threes after a first group of one to three.
    std::string digits;  // every digit, without the commas
    const std::size_t first = digitsFrom(text, at);
    if (first == 0 || (first > 1 && text[at] == '0')) return std::nullopt;
    digits.append(text.substr(at, first));
    at += first;
    const bool grouped = at < text.size() && text[at] == ',';
    if (grouped) {
        if (first > 3 || text[at - first] == '0') return std::nullopt;
        while (at < text.size() && text[at] == ',') {
            if (digitsFrom(text, at + 1) != 3) return std::nullopt;
            digits.append(text.substr(at + 1, 3));
            at += 4;
        }
    }
    std::size_t decimals = 0;
    if (at < text.size() && text[at] == '.') {
        decimals = digitsFrom(text, at + 1);
        if (decimals == 0) return std::nullopt;
        digits += '.';
        digits.append(text.substr(at + 1, decimals));
        at += 1 + decimals;
    }
    if (at != text.size()) return std::nullopt;

    // Leading zeros ("0.00042") are not significant; every other digit is.
    const std::size_t firstSignificant = digits.find_first_not_of("0.");
    if (firstSignificant == std::string::npos) {
        if (negative) return std::nullopt;  // a cell would show "-0" as "0"
    } else {
        std::size_t significant = 0;
        for (std::size_t i = firstSignificant; i < digits.size(); ++i) significant += digits[i] != '.';
        if (significant > kSignificantDigits) return std::nullopt;
    }

    SpreadsheetNumber number;
    if (negative) digits.insert(digits.begin(), '-');
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number.value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const bool trailingZero = decimals > 0 && text.back() == '0';
    if (grouped || trailingZero || text.size() > kGeneralWidth) {
        number.format = grouped ? "#,##0" : "0";
        if (decimals > 0) number.format += "." + std::string(decimals, '0');
    }
    return number;
}

}  // namespace lumaref
