#pragma once

#include <cstddef>
#include <string>

namespace lumaref {

// How a column's values read as text: see value_text.h.
enum class FieldKind { Text, Boolean, Integer, Real };

struct FieldInfo {
    std::string name;
    FieldKind kind = FieldKind::Text;
    std::size_t maxChars = 0;  // 0: no limit
};

}  // namespace lumaref
