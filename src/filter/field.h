#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaref {

enum class FieldKind { Text, Boolean, Integer, Real };

struct FieldInfo {
    std::string name;
    FieldKind kind = FieldKind::Text;
    std::size_t maxChars = 0;  // 0: no limit
};

// Kind and size from a declared column type: TEXT(n)/VARCHAR(n), TEXT/MEMO, BOOLEAN, INTEGER, REAL/DOUBLE.
// Anything else is read as text of any length.
FieldInfo fieldFromDeclaredType(std::string name, std::string_view declaredType);

}  // namespace lumaref
