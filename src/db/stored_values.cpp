#include "db/stored_values.h"

#include <sqlite3.h>

#include <charconv>
#include <cstdint>
#include <string>

#include "db/statement.h"
#include "filter/column.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

// One value of a result row, as the statement holds it or as copied out of it. The statement's cell is
// fetched once and read through sqlite3_value_*: each sqlite3_column_* call checks the statement and
// its connection's lock again. It is only read on the thread that steps the statement.
struct ResultValue {
    sqlite3_value* value;
    int type() const { return sqlite3_value_type(value); }
    std::int64_t integer() const { return sqlite3_value_int64(value); }
    double real() const { return sqlite3_value_double(value); }
    std::string_view bytes() const {
        const auto* data = static_cast<const char*>(
            type() == SQLITE_BLOB ? sqlite3_value_blob(value)
                                  : static_cast<const void*>(sqlite3_value_text(value)));
        return std::string_view(data, static_cast<std::size_t>(sqlite3_value_bytes(value)));
    }
};

struct CopiedValue {
    const StoredCell& cell;
    int type() const { return cell.type; }
    std::int64_t integer() const { return cell.integer; }
    double real() const { return cell.real; }
    std::string_view bytes() const { return cell.bytes; }
};

template <typename Value>
void appendValue(Column& column, const Value& value) {
    const int type = value.type();
    if (type == SQLITE_NULL) {
        column.appendNull();
        return;
    }
    if (column.kind() == FieldKind::Boolean) {
        if (type == SQLITE_TEXT) {
            column.appendBool(textIsTrue(value.bytes()));
        } else if (type == SQLITE_INTEGER) {
            column.appendBool(value.integer() != 0);
        } else {
            column.appendBool(value.real() != 0);
        }
        return;
    }
    switch (type) {
        case SQLITE_INTEGER: {
            char buffer[24];
            const auto [end, ec] =
                std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value.integer()));
            (void)ec;
            column.appendText(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
            break;
        }
        case SQLITE_FLOAT: {
            char buffer[32];
            const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value.real());
            (void)ec;
            column.appendText(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
            break;
        }
        default:
            column.appendText(value.bytes());
            break;
    }
}

}  // namespace

void appendStoredValue(Column& column, sqlite3_stmt* stmt, int index) {
    appendValue(column, ResultValue{sqlite3_column_value(stmt, index)});
}

void copyStoredValue(StoredCell& cell, sqlite3_stmt* stmt, int index) {
    // Each value asked for once, in the form it has: most of a read-back row is text and small numbers.
    cell.type = sqlite3_column_type(stmt, index);
    cell.integer = 0;
    cell.real = 0;
    cell.bytes.clear();
    switch (cell.type) {
        case SQLITE_INTEGER:
            cell.integer = sqlite3_column_int64(stmt, index);
            cell.real = static_cast<double>(cell.integer);  // as SQLite reads an integer as a real
            break;
        case SQLITE_FLOAT:
            cell.real = sqlite3_column_double(stmt, index);
            break;
        case SQLITE_TEXT:
            cell.bytes.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, index)),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt, index)));
            break;
        case SQLITE_BLOB:
            cell.bytes.assign(static_cast<const char*>(sqlite3_column_blob(stmt, index)),
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt, index)));
            cell.real = sqlite3_column_double(stmt, index);  // a yes/no field reads it as a number
            break;
        default:
            break;
    }
}

void appendStoredValue(Column& column, const StoredCell& cell) { appendValue(column, CopiedValue{cell}); }

void appendStoredText(Column& column, sqlite3_stmt* stmt, int index) {
    sqlite3_value* value = sqlite3_column_value(stmt, index);
    const unsigned char* text = sqlite3_value_text(value);
    if (text == nullptr) {
        column.appendNull();
        return;
    }
    column.appendText(std::string_view(reinterpret_cast<const char*>(text),
                                       static_cast<std::size_t>(sqlite3_value_bytes(value))));
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
