#include "text/value_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "text/error.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool isPrefixIgnoringCase(std::string_view part, std::string_view word) {
    if (part.empty() || part.size() > word.size()) return false;
    for (std::size_t i = 0; i < part.size(); ++i) {
        const auto c = static_cast<unsigned char>(part[i]);
        const auto lower = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        const auto w = static_cast<unsigned char>(word[i]);
        if (lower != ((w >= 'A' && w <= 'Z') ? w + 32 : w)) return false;
    }
    return true;
}

}  // namespace

std::optional<long long> parseInteger(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> parseReal(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool textIsTrue(std::string_view text) {
    return isPrefixIgnoringCase(text, "true") || isPrefixIgnoringCase(text, "yes") ||
           (parseReal(text).value_or(0) != 0);
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

std::optional<std::string> acceptedValue(const FieldInfo& field, std::string_view value) {
    switch (field.kind) {
        case FieldKind::Text:
            return std::string(field.maxChars > 0 ? truncateToChars(value, field.maxChars) : value);
        case FieldKind::Boolean:
            if (value.empty()) return std::nullopt;
            if (isPrefixIgnoringCase(value, "True")) return std::string("True");
            if (isPrefixIgnoringCase(value, "False")) return std::string("False");
            throw Error("'" + std::string(value) + "' is not a valid boolean value for field '" + field.name +
                        "'");
        case FieldKind::Integer: {
            if (value.empty()) return std::nullopt;
            const auto number = parseInteger(value);
            if (!number) {
                throw Error("'" + std::string(value) + "' is not a valid integer value for field '" +
                            field.name + "'");
            }
            return numberText(*number);
        }
        case FieldKind::Real: {
            if (value.empty()) return std::nullopt;
            const auto number = parseReal(value);
            if (!number) {
                throw Error("'" + std::string(value) + "' is not a valid floating point value for field '" +
                            field.name + "'");
            }
            return numberText(*number);
        }
    }
    return std::string(value);
}

}  // namespace lumaref
