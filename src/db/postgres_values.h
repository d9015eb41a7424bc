#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/field.h"

namespace lumaref {

class Column;

// Kind and size from a column type as the server names it (format_type: "character varying(255)",
// "text", "boolean", "integer", "double precision"...), read as SQLite's declared types are.
FieldInfo fieldFromPostgresType(std::string name, std::string_view serverType);

// The PostgreSQL type a declared type of our schema becomes: the same kind and size.
std::string postgresTypeOf(const FieldInfo& field);

// Appends a value in the server's text form to a snapshot column, so that it reads exactly as the
// same value read from SQLite: yes/no "True"/"False", numbers in their shortest round-trip form.
void appendPostgresValue(Column& column, std::optional<std::string_view> serverText);

// The same for a cell already in the snapshot, which is changed only when it reads otherwise.
void setPostgresValue(Column& column, std::size_t row, std::optional<std::string_view> serverText);

// A snapshot value in the text form the server takes for the field's kind.
std::optional<std::string_view> postgresParameter(const FieldInfo& field,
                                                  std::optional<std::string_view> value);

}  // namespace lumaref
