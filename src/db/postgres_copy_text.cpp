#include "db/postgres_copy_text.h"

namespace lumaref {

namespace {

int digitValue(char c, int base) {
    int value = 16;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

// The bytes of an escaped field; `field` starts at its first backslash or earlier.
void unescape(std::string_view field, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        switch (c) {
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'v':
                out += '\v';
                break;
            default: {
                const bool hex = c == 'x' && i + 1 < field.size() && digitValue(field[i + 1], 16) >= 0;
                const int base = hex ? 16 : 8;
                const std::size_t maxDigits = hex ? 2 : 3;
                std::size_t at = hex ? i + 1 : i;
                int value = 0;
                std::size_t digits = 0;
                while (digits < maxDigits && at < field.size() && digitValue(field[at], base) >= 0) {
                    value = value * base + digitValue(field[at++], base);
                    ++digits;
                }
                if (digits == 0) {
                    out += c;  // any other character stands for itself
                } else {
                    out += static_cast<char>(value);
                    i = at - 1;
                }
            }
        }
    }
}

}  // namespace

void CopyRowReader::read(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    fields_.clear();
    std::size_t escaped = 0;
    while (true) {
        const std::size_t tab = line.find('\t');
        const std::string_view field = line.substr(0, tab);
        if (field == "\\N") {
            fields_.emplace_back(std::nullopt);
        } else if (field.find('\\') == std::string_view::npos) {
            fields_.emplace_back(field);
        } else {
            if (unescaped_.size() <= escaped) unescaped_.resize(escaped + 1);
            unescape(field, unescaped_[escaped]);
            fields_.emplace_back(unescaped_[escaped++]);
        }
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
}

void appendCopyField(std::string& row, std::optional<std::string_view> value, bool first) {
    if (!first) row += '\t';
    if (!value) {
        row += "\\N";
        return;
    }
    for (const char c : *value) {
        switch (c) {
            case '\\':
                row += "\\\\";
                break;
            case '\t':
                row += "\\t";
                break;
            case '\n':
                row += "\\n";
                break;
            case '\r':
                row += "\\r";
                break;
            default:
                row += c;
        }
    }
}

}  // namespace lumaref
