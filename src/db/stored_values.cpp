#include "db/stored_values.h"

#include <sqlite3.h>

#include <charconv>

#include "db/statement.h"
#include "filter/column.h"
#include "text/value_text.h"

namespace lumaref {

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

void bindValue(Statement& statement, int index, const FieldInfo& field,
               std::optional<std::string_view> value) {
    if (!value) {
        statement.bindNull(index);
        return;
    }
    switch (field.kind) {
        case FieldKind::Boolean:
            statement.bindInt64(index, *value == "True" ? 1 : 0);
            return;
        case FieldKind::Integer:
            if (const auto number = parseInteger(*value)) {
                statement.bindInt64(index, *number);
                return;
            }
            break;
        case FieldKind::Real:
            if (const auto number = parseReal(*value)) {
                statement.bindDouble(index, *number);
                return;
            }
            break;
        case FieldKind::Text:
            break;
    }
    statement.bindText(index, *value);
}

}  // namespace lumaref
