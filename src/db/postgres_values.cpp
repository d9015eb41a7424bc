#include "db/postgres_values.h"

#include <charconv>

#include "db/declared_type.h"
#include "filter/column.h"

namespace lumaref {

FieldInfo fieldFromPostgresType(std::string name, std::string_view serverType) {
    // The server's long names for the types our schema declares in their SQL short forms.
    std::string type(serverType);
    for (const auto& [server, declared] :
         {std::pair<std::string_view, std::string_view>{"character varying", "VARCHAR"},
          {"character", "CHAR"},
          {"double precision", "DOUBLE"}}) {
        if (type.starts_with(server)) {
            type = std::string(declared) + type.substr(server.size());
            break;
        }
    }
    return fieldFromDeclaredType(std::move(name), type);
}

std::string postgresTypeOf(const FieldInfo& field) {
    switch (field.kind) {
        case FieldKind::Boolean:
            return "boolean";
        case FieldKind::Integer:
            return "bigint";
        case FieldKind::Real:
            return "double precision";
        case FieldKind::Text:
            break;
    }
    return field.maxChars > 0 ? "varchar(" + std::to_string(field.maxChars) + ")" : "text";
}

namespace {

// A non-null value of the server's text form as the snapshot holds it; `buffer` may hold the bytes.
std::string_view snapshotText(FieldKind kind, std::string_view serverText, char (&buffer)[32]) {
    switch (kind) {
        case FieldKind::Boolean:
            return serverText == "t" ? "True" : "False";
        case FieldKind::Real: {
            // The server may write a double in another of its shortest forms ("1e+15" where C++ writes
            // "1000000000000000"); reading it and writing it again gives SQLite's text.
            double number = 0;
            const char* end = serverText.data() + serverText.size();
            if (std::from_chars(serverText.data(), end, number).ptr == end) {
                const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
                return {buffer, static_cast<std::size_t>(written.ptr - buffer)};
            }
            break;
        }
        case FieldKind::Integer:
        case FieldKind::Text:
            break;
    }
    return serverText;
}

}  // namespace

void appendPostgresValue(Column& column, std::optional<std::string_view> serverText) {
    if (!serverText) {
        column.appendNull();
        return;
    }
    if (column.kind() == FieldKind::Boolean) {
        column.appendBool(*serverText == "t");
        return;
    }
    char buffer[32];
    column.appendText(snapshotText(column.kind(), *serverText, buffer));
}

void setPostgresValue(Column& column, std::size_t row, std::optional<std::string_view> serverText) {
    if (!serverText) {
        if (!column.isNull(row)) column.set(row, std::nullopt);
        return;
    }
    char buffer[32];
    const std::string_view text = snapshotText(column.kind(), *serverText, buffer);
    if (column.isNull(row) || column.text(row) != text) column.set(row, text);
}

std::optional<std::string_view> postgresParameter(const FieldInfo& field,
                                                  std::optional<std::string_view> value) {
    if (!value || field.kind != FieldKind::Boolean) return value;
    return *value == "True" ? "t" : "f";
}

}  // namespace lumaref
