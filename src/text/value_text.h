#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "filter/field.h"

namespace lumaref {

// Numbers as text: shortest round-trip form, "." as decimal separator.
std::string numberText(double value);
std::string numberText(long long value);

// Appends one result column of the current row of stmt to a snapshot column, as its field kind reads it.
class Column;
void appendStoredValue(Column& column, sqlite3_stmt* stmt, int index);
// The same for a column of TEXT affinity, where SQLite keeps every non-null value as text or a blob:
// one call fewer per cell, which is most of a load.
void appendStoredText(Column& column, sqlite3_stmt* stmt, int index);

// SQLite's affinity rule: a declared type naming CHAR, CLOB or TEXT (and not INT) stores text.
bool hasTextAffinity(std::string_view declaredType);

// The stored text of a value assigned by the program, checked against the field's kind:
// nullopt for null; throws Error with the field's text for a value the kind does not accept.
std::optional<std::string> acceptedValue(const FieldInfo& field, std::string_view value);

// Binds a snapshot value (nullopt: null) as the field's kind stores it. The bytes are not copied:
// they must stay as they are until the statement is reset with its bindings cleared.
void bindValue(sqlite3_stmt* stmt, int index, const FieldInfo& field, std::optional<std::string_view> value);

}  // namespace lumaref
