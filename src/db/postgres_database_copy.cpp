#include "db/postgres_database_copy.h"

#include <sqlite3.h>

#include "db/declared_type.h"
#include "db/postgres_connection.h"
#include "db/postgres_copy_in.h"
#include "db/postgres_notifications.h"
#include "db/postgres_store.h"
#include "db/postgres_values.h"
#include "db/sqlite_change_log.h"
#include "db/sqlite_table_load.h"
#include "db/statement.h"
#include "text/ascii.h"
#include "text/error.h"

namespace lumaref {

namespace {

struct SourceColumn {
    FieldInfo field;
    bool binary = false;  // BLOB: bytea on the server
    bool notNull = false;
    std::string defaultSql;  // empty: none
};

std::vector<std::string> sourceTables(sqlite3* source) {
    std::vector<std::string> tables;
    Statement list(
        source,
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE "
        "'\\' ORDER BY rowid");
    // The change log tells the programs sharing that file what changed; the server tells its own.
    while (list.step())
        if (!isChangeLogTable(list.columnText(0))) tables.emplace_back(list.columnText(0));
    return tables;
}

std::vector<SourceColumn> sourceColumns(sqlite3* source, const std::string& table) {
    std::vector<SourceColumn> columns;
    Statement info(source, "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?)");
    info.bindText(1, table);
    while (info.step()) {
        SourceColumn column;
        column.field = fieldFromDeclaredType(std::string(info.columnText(0)), info.columnText(1));
        column.binary = upperAscii(info.columnText(1)).starts_with("BLOB");
        column.notNull = info.columnInt64(2) != 0;
        column.defaultSql = std::string(info.columnText(3));
        // SQLite's yes/no default is a number; the server's is a truth value.
        if (column.field.kind == FieldKind::Boolean && !column.defaultSql.empty()) {
            column.defaultSql =
                column.defaultSql == "0" || upperAscii(column.defaultSql) == "FALSE" ? "false" : "true";
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

std::string createTableSql(const std::string& table, const std::vector<SourceColumn>& columns) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + " (" + quoteIdentifier(kPostgresKeyColumn) +
                      " bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
    for (const auto& column : columns) {
        sql += ", " + quoteIdentifier(column.field.name) + " " +
               (column.binary ? std::string("bytea") : postgresTypeOf(column.field));
        if (column.notNull) sql += " NOT NULL";
        if (!column.defaultSql.empty()) sql += " DEFAULT " + column.defaultSql;
    }
    return sql + ")";
}

// bytea's hex input form.
std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex = "\\x";
    for (const char c : bytes) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0xf];
    }
    return hex;
}

std::size_t copyRows(sqlite3* source, PgConnection& target, const std::string& table) {
    std::vector<bool> binary;
    for (const auto& column : sourceColumns(source, table)) binary.push_back(column.binary);
    std::string hex;
    const LoadedTable loaded = loadSqliteTable(source, table);
    const auto& columns = loaded.table.columns;
    if (columns.empty()) return 0;
    std::string names;
    for (const auto& column : columns)
        names += (names.empty() ? "" : ", ") + quoteIdentifier(column.info().name);
    const std::size_t rows = loaded.table.rowCount();
    copyRowsIn(
        target, "COPY " + quoteIdentifier(table) + " (" + names + ") FROM STDIN", [&](CopyInRows& copy) {
            for (std::size_t row = 0; row < rows; ++row) {
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    const Column& column = columns[i];
                    std::optional<std::string_view> value =
                        column.isNull(row) ? std::nullopt : std::optional<std::string_view>(column.text(row));
                    if (value && binary[i]) {
                        hex = hexOf(*value);
                        value = hex;
                    } else if (value && value->find('\0') != std::string_view::npos) {
                        throw Error("Row " + std::to_string(row + 1) + " of the table '" + table +
                                    "' holds a zero byte in '" + column.info().name +
                                    "', which text on the server cannot hold.");
                    }
                    copy.field(postgresParameter(column.info(), value));
                }
                copy.endRow();
            }
        });
    return rows;
}

bool exists(PgConnection& target, const std::string& table) {
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> name[] = {std::string_view(quoted)};
    return !target.execPrepared("SELECT to_regclass($1)", name).isNull(0, 0);
}

}  // namespace

std::string postgresCreateTableSql(sqlite3* source, const std::string& table) {
    return createTableSql(table, sourceColumns(source, table));
}

PostgresCopySummary copySqliteToPostgres(sqlite3* source, PgConnection& target, bool replace) {
    PostgresCopySummary summary;
    summary.tables = sourceTables(source);
    inOneTransaction(target, [&] {
        for (const auto& table : summary.tables) {
            if (replace) {
                target.exec("DROP TABLE IF EXISTS " + quoteIdentifier(table));
            } else if (exists(target, table)) {
                throw Error("The table '" + table + "' already exists on the server; --force replaces it.");
            }
            target.exec(createTableSql(table, sourceColumns(source, table)));
            summary.rows += copyRows(source, target, table);
            notifyTableReplaced(target, table);
        }
    });
    return summary;
}

std::size_t loadTableRows(sqlite3* source, const std::string& table, PgConnection& target, bool append) {
    std::size_t replaced = 0;
    inOneTransaction(target, [&] {
        if (!append)
            replaced =
                static_cast<std::size_t>(target.exec("DELETE FROM " + quoteIdentifier(table)).affectedRows());
        copyRows(source, target, table);
        notifyTableReplaced(target, table);
    });
    return replaced;
}

void grantTableRights(PgConnection& target, const std::vector<std::string>& tables,
                      const std::string& readers, const std::string& admins) {
    for (const auto& table : tables) {
        if (!readers.empty())
            target.exec("GRANT SELECT ON " + quoteIdentifier(table) + " TO " + quoteIdentifier(readers));
        if (!admins.empty()) {
            target.exec("GRANT SELECT, INSERT, UPDATE ON " + quoteIdentifier(table) + " TO " +
                        quoteIdentifier(admins));
        }
    }
}

}  // namespace lumaref
