#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/field.h"

struct sqlite3_stmt;

namespace lumaref {

class Column;
class Statement;

// Appends one result column of the current row of stmt to a snapshot column, as its field kind reads it.
void appendStoredValue(Column& column, sqlite3_stmt* stmt, int index);
// A value copied out of a result row, to join the snapshot later (once its post is committed).
struct StoredCell {
    int type = 0;  // SQLite's fundamental type
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes;  // text or blob; its memory is reused from row to row
};
void copyStoredValue(StoredCell& cell, sqlite3_stmt* stmt, int index);
void appendStoredValue(Column& column, const StoredCell& cell);
// The same for a column of TEXT affinity, where SQLite keeps every non-null value as text or a blob:
// one call fewer per cell, which is most of a load.
void appendStoredText(Column& column, sqlite3_stmt* stmt, int index);

// Binds a snapshot value (nullopt: null) as the field's kind stores it. The bytes are not copied:
// they must stay as they are until the statement is reset with its bindings cleared.
void bindValue(Statement& statement, int index, const FieldInfo& field,
               std::optional<std::string_view> value);

}  // namespace lumaref
