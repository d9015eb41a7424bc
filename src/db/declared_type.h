#pragma once

#include <string>
#include <string_view>

#include "text/field.h"

namespace lumaref {

// Kind and size from a declared column type: TEXT(n)/VARCHAR(n), TEXT/MEMO, BOOLEAN, INTEGER, REAL/DOUBLE.
// Anything else is read as text of any length.
FieldInfo fieldFromDeclaredType(std::string name, std::string_view declaredType);

// SQLite's affinity rule: a declared type naming CHAR, CLOB or TEXT (and not INT) stores text.
bool hasTextAffinity(std::string_view declaredType);

}  // namespace lumaref
