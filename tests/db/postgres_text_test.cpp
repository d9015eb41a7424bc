// The PostgreSQL store's text forms: COPY rows in both directions, and values read as SQLite's read.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "db/postgres_copy_text.h"
#include "db/postgres_values.h"
#include "filter/column.h"

namespace lumaref {
namespace {

using Fields = std::vector<std::optional<std::string>>;

Fields fieldsOf(const CopyRowReader& reader) {
    Fields fields;
    for (std::size_t i = 0; i < reader.size(); ++i) {
        const auto field = reader.field(i);
        fields.push_back(field ? std::optional<std::string>(*field) : std::nullopt);
    }
    return fields;
}

TEST(CopyText, RowsReadAsTheServerWritesThem) {
    const struct {
        const char* name;
        std::string line;
        Fields fields;
    } cases[] = {
        {"plain fields and the newline", "1\tNature\t2.5\n", {"1", "Nature", "2.5"}},
        {"null, empty and a literal N", "\\N\t\tN", {std::nullopt, "", "N"}},
        {"control escapes", "a\\tb\\nc\\rd\\\\e", {"a\tb\nc\rd\\e"}},
        {"rare escapes", "\\b\\f\\v", {"\b\f\v"}},
        {"octal and hex bytes", "\\101\\x42\\7", {"AB\7"}},
        {"UTF-8 untouched", "Zeitschrift f\xC3\xBCr Physik", {"Zeitschrift f\xC3\xBCr Physik"}},
        {"an escape in one field of several", "x\t\\\\N\ty", {"x", "\\N", "y"}},
    };
    CopyRowReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reader.read(c.line);
        EXPECT_EQ(fieldsOf(reader), c.fields);
    }
}

TEST(CopyText, WrittenFieldsReadBackAsTheyWere) {
    const Fields fields = {"tab\there", std::nullopt, "", "back\\slash \\N", "line\r\nend", "\\N"};
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        appendCopyField(row, fields[i] ? std::optional<std::string_view>(*fields[i]) : std::nullopt, i == 0);
    }
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 5) << "field tabs are escaped";
    EXPECT_EQ(row.find('\n'), std::string::npos);
    CopyRowReader reader;
    reader.read(row + "\n");
    EXPECT_EQ(fieldsOf(reader), fields);
}

TEST(PostgresValues, ServerTypesReadAsTheSchemaDeclaresThem) {
    const struct {
        const char* serverType;
        FieldKind kind;
        std::size_t maxChars;
        const char* createdAs;
    } cases[] = {
        {"character varying(255)", FieldKind::Text, 255, "varchar(255)"},
        {"character(3)", FieldKind::Text, 3, "varchar(3)"},
        {"text", FieldKind::Text, 0, "text"},
        {"boolean", FieldKind::Boolean, 0, "boolean"},
        {"bigint", FieldKind::Integer, 0, "bigint"},
        {"integer", FieldKind::Integer, 0, "bigint"},
        {"double precision", FieldKind::Real, 0, "double precision"},
        {"real", FieldKind::Real, 0, "double precision"},
        {"timestamp without time zone", FieldKind::Text, 0, "text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serverType);
        const FieldInfo field = fieldFromPostgresType("f", c.serverType);
        EXPECT_EQ(field.kind, c.kind);
        EXPECT_EQ(field.maxChars, c.maxChars);
        EXPECT_EQ(postgresTypeOf(field), c.createdAs);
    }
}

TEST(PostgresValues, ValuesReadAsSqliteReadsThem) {
    const struct {
        FieldKind kind;
        std::optional<std::string_view> server;
        const char* read;
        bool null;
    } cases[] = {
        {FieldKind::Boolean, "t", "True", false},
        {FieldKind::Boolean, "f", "False", false},
        {FieldKind::Boolean, std::nullopt, "", true},
        {FieldKind::Real, "2.5", "2.5", false},
        {FieldKind::Real, "100000000000000", "1e+14", false},
        {FieldKind::Real, "1e-05", "1e-05", false},
        {FieldKind::Real, "0.1", "0.1", false},
        {FieldKind::Integer, "-42", "-42", false},
        {FieldKind::Text, "", "", false},
        {FieldKind::Text, std::nullopt, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.server.value_or("<null>")));
        Column column(FieldInfo{"f", c.kind, 0});
        appendPostgresValue(column, c.server);
        EXPECT_EQ(column.text(0), c.read);
        EXPECT_EQ(column.isNull(0), c.null);
    }
    const FieldInfo flag{"flag", FieldKind::Boolean, 0};
    EXPECT_EQ(postgresParameter(flag, "True"), "t");
    EXPECT_EQ(postgresParameter(flag, "False"), "f");
    EXPECT_EQ(postgresParameter(flag, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace lumaref
