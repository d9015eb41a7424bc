#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace lumaref {

// A whole text read as a finite decimal number ("12", "-0.5", "+3", "1e+20"), blanks around allowed.
inline std::optional<double> parseFilterNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace lumaref
