#include "text/number_text.h"

#include <charconv>
#include <cmath>

#include "text/ascii.h"

namespace lumaref {

namespace {

// The text from_chars reads: blanks gone, and a leading "+" dropped (from_chars takes only "-"); "+-1"
// keeps its "+", so it stays no number.
std::string_view numberPart(std::string_view text, NumberBlanks blanks) {
    text = trimmed(text, blanks == NumberBlanks::Spaces ? " " : " \t");
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

template <typename Number>
std::optional<Number> parseWhole(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<long long> parseInteger(std::string_view text) {
    return parseWhole<long long>(numberPart(text, NumberBlanks::Spaces));
}

std::optional<double> parseReal(std::string_view text, NumberBlanks blanks) {
    const std::optional<double> value = parseWhole<double>(numberPart(text, blanks));
    if (value && !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::string numberText(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    return std::string(buffer, end);
}

std::string numberText(long long value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    return std::string(buffer, end);
}

}  // namespace lumaref
