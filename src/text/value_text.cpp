#include "text/value_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "filter/column.h"
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

}  // namespace

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

void appendStoredValue(Column& column, sqlite3_stmt* stmt, int index) {
    const int type = sqlite3_column_type(stmt, index);
    if (type == SQLITE_NULL) {
        column.appendNull();
        return;
    }
    if (column.kind() == FieldKind::Boolean) {
        if (type == SQLITE_TEXT) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
            column.appendBool(textIsTrue(std::string_view(bytes, sqlite3_column_bytes(stmt, index))));
        } else {
            column.appendBool(sqlite3_column_double(stmt, index) != 0);
        }
        return;
    }
    switch (type) {
        case SQLITE_INTEGER: {
            char buffer[24];
            const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer,
                                                 static_cast<long long>(sqlite3_column_int64(stmt, index)));
            (void)ec;
            column.appendText(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
            break;
        }
        case SQLITE_FLOAT: {
            char buffer[32];
            const auto [end, ec] =
                std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(stmt, index));
            (void)ec;
            column.appendText(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
            break;
        }
        default: {
            const auto* bytes = static_cast<const char*>(
                type == SQLITE_BLOB ? sqlite3_column_blob(stmt, index)
                                    : static_cast<const void*>(sqlite3_column_text(stmt, index)));
            column.appendText(
                std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt, index))));
            break;
        }
    }
}

void appendStoredText(Column& column, sqlite3_stmt* stmt, int index) {
    const unsigned char* text = sqlite3_column_text(stmt, index);
    if (text == nullptr) {
        column.appendNull();
        return;
    }
    column.appendText(std::string_view(reinterpret_cast<const char*>(text),
                                       static_cast<std::size_t>(sqlite3_column_bytes(stmt, index))));
}

bool hasTextAffinity(std::string_view declaredType) {
    std::string upper;
    for (char c : declaredType) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("INT") != std::string::npos) return false;
    return upper.find("CHAR") != std::string::npos || upper.find("CLOB") != std::string::npos ||
           upper.find("TEXT") != std::string::npos;
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

void bindValue(sqlite3_stmt* stmt, int index, const FieldInfo& field, std::optional<std::string_view> value) {
    if (!value) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (field.kind) {
        case FieldKind::Boolean:
            sqlite3_bind_int(stmt, index, *value == "True" ? 1 : 0);
            return;
        case FieldKind::Integer:
            if (const auto number = parseInteger(*value)) {
                sqlite3_bind_int64(stmt, index, *number);
                return;
            }
            break;
        case FieldKind::Real:
            if (const auto number = parseReal(*value)) {
                sqlite3_bind_double(stmt, index, *number);
                return;
            }
            break;
        case FieldKind::Text:
            break;
    }
    sqlite3_bind_text(stmt, index, value->data(), static_cast<int>(value->size()), SQLITE_STATIC);
}

}  // namespace lumaref
