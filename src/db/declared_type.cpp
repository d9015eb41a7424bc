#include "db/declared_type.h"

#include <charconv>

#include "text/ascii.h"

namespace lumaref {

namespace {

// The n of "TEXT(n)", or 0 when there is none.
std::size_t sizeInParentheses(std::string_view declared) {
    const auto open = declared.find('(');
    if (open == std::string_view::npos) return 0;
    std::size_t pos = open + 1;
    while (pos < declared.size() && declared[pos] == ' ') ++pos;
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(declared.data() + pos, declared.data() + declared.size(), value);
    (void)end;
    return ec == std::errc() ? value : 0;
}

}  // namespace

FieldInfo fieldFromDeclaredType(std::string name, std::string_view declaredType) {
    FieldInfo info;
    info.name = std::move(name);
    const std::string type = upperAscii(declaredType);
    const auto startsWith = [&](std::string_view prefix) { return type.rfind(prefix, 0) == 0; };
    if (startsWith("BOOLEAN") || startsWith("BOOL") || startsWith("BIT") || startsWith("YESNO")) {
        info.kind = FieldKind::Boolean;
    } else if (startsWith("INTEGER") || startsWith("INT") || startsWith("BIGINT") || startsWith("SMALLINT") ||
               startsWith("LONG") || startsWith("COUNTER") || startsWith("AUTOINCREMENT")) {
        info.kind = FieldKind::Integer;
    } else if (startsWith("REAL") || startsWith("DOUBLE") || startsWith("FLOAT") || startsWith("NUMERIC") ||
               startsWith("DECIMAL") || startsWith("CURRENCY") || startsWith("SINGLE")) {
        info.kind = FieldKind::Real;
    } else {
        info.kind = FieldKind::Text;
        if (startsWith("TEXT") || startsWith("VARCHAR") || startsWith("CHAR") || startsWith("NVARCHAR") ||
            startsWith("NCHAR")) {
            info.maxChars = sizeInParentheses(type);
        }
    }
    return info;
}

bool hasTextAffinity(std::string_view declaredType) {
    const std::string type = upperAscii(declaredType);
    if (type.find("INT") != std::string::npos) return false;
    return type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
           type.find("TEXT") != std::string::npos;
}

}  // namespace lumaref
