#include "text/secret_mask.h"

#include <array>

#include "text/ascii.h"

namespace lumaref {

namespace {

constexpr std::string_view kMask = "***";
constexpr std::array<std::string_view, 3> kPasswordKeys = {"password", "passwd", "pwd"};

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where a password key's value starts, when a key of kPasswordKeys begins at `at` and is followed by
// "=" (blanks allowed around it); npos otherwise.
std::size_t valueStart(std::string_view text, std::size_t at) {
    if (at > 0 && isWordChar(text[at - 1])) return std::string_view::npos;
    for (const std::string_view key : kPasswordKeys) {
        if (!equalsIgnoringAsciiCase(text.substr(at, key.size()), key)) continue;
        std::size_t i = at + key.size();
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        while (i < text.size() && isBlank(text[i])) ++i;
        return i;
    }
    return std::string_view::npos;
}

// The end of a quoted value starting at `start`: past its closing quote, or the end of the text when it
// is never closed. A backslash (libpq) or a doubled quote (ADO) keeps a quote inside.
std::size_t quotedValueEnd(std::string_view text, std::size_t start) {
    const char quote = text[start];
    for (std::size_t i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                ++i;
                continue;
            }
            return i + 1;
        }
    }
    return text.size();
}

// The end of an unquoted value: a blank ends it as in libpq's key=value lists, unless the text goes on
// to a ";" before any "=", as an ADO pair ("Password=two words;Data Source=...") does.
std::size_t plainValueEnd(std::string_view text, std::size_t start) {
    const std::size_t hard = std::min(text.find_first_of(";&\r\n", start), text.size());
    const std::size_t blank = std::min(text.find_first_of(" \t", start), hard);
    if (blank == hard || hard == text.size() || text[hard] != ';') return blank;
    const std::size_t nextKey = text.find('=', blank);
    return nextKey != std::string_view::npos && nextKey < hard ? blank : hard;
}

// A URI's user part "user:password@" after "://" at `scheme`: the range of the password, or {npos, 0}.
std::pair<std::size_t, std::size_t> uriPassword(std::string_view text, std::size_t scheme) {
    const std::size_t start = scheme + 3;
    // The authority ends where the path, the query or the line begins; the user part at its last "@",
    // so a password holding "@" or a blank is still covered.
    const std::size_t end = std::min(text.find_first_of("/?#\r\n", start), text.size());
    const std::size_t at = text.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string_view::npos || at < start) return {std::string_view::npos, 0};
    const std::size_t colon = text.find(':', start);
    if (colon == std::string_view::npos || colon > at) return {std::string_view::npos, 0};
    return {colon + 1, at};
}

}  // namespace

std::string maskSecrets(std::string_view text) {
    std::string masked;
    std::size_t copied = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 3, "://") == 0) {
            const auto [from, to] = uriPassword(text, i);
            if (from != std::string_view::npos) {
                masked.append(text.substr(copied, from - copied)).append(kMask);
                copied = i = to;
                continue;
            }
            i += 3;
            continue;
        }
        const std::size_t start = valueStart(text, i);
        if (start == std::string_view::npos) {
            ++i;
            continue;
        }
        const bool quoted = start < text.size() && (text[start] == '\'' || text[start] == '"');
        const std::size_t end = quoted ? quotedValueEnd(text, start) : plainValueEnd(text, start);
        masked.append(text.substr(copied, start - copied)).append(kMask);
        copied = i = end;
    }
    if (copied == 0) return std::string(text);
    masked.append(text.substr(copied));
    return masked;
}

}  // namespace lumaref
