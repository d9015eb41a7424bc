#include "convert/csv_table_load.h"

#include <memory>
#include <optional>

#include "convert/csv_header.h"
#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/declared_type.h"
#include "db/schema_names.h"
#include "db/sqlite_change_log.h"
#include "db/statement.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/excerpt.h"
#include "text/field.h"
#include "text/issn_form.h"
#include "text/stopped.h"
#include "text/text_file.h"
#include "text/text_fold.h"
#include "text/yes_no.h"

namespace lumaref {

namespace {

constexpr std::size_t kStopCheckEvery = 256;

// A database failure in this loader's words: what it was doing, then the provider's text.
Error failedTo(std::string_view what, const SqliteError& failure) {
    return Error(std::string(what) + ": " + failure.what());
}

// The table's name as the database spells it, matched in any letter case.
std::optional<std::string> findTable(sqlite3* db, std::string_view table, std::string& allTables) {
    try {
        Statement query(db,
                        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                        "ORDER BY rowid");
        std::optional<std::string> found;
        while (query.step()) {
            const std::string name(query.columnText(0));
            if (isChangeLogTable(name)) continue;  // the database's own bookkeeping
            allTables += (allTables.empty() ? "" : ", ") + name;
            if (!found && sameName(name, table)) found = name;
        }
        return found;
    } catch (const SqliteError& failure) {
        throw failedTo("Cannot read the database's tables", failure);
    }
}

std::vector<TableColumn> tableColumns(sqlite3* db, const std::string& table) {
    try {
        Statement query(
            db, "SELECT name, \"notnull\", dflt_value IS NULL, pk, upper(type) FROM pragma_table_info(?)");
        query.bindText(1, table);
        std::vector<TableColumn> columns;
        while (query.step()) {
            TableColumn column;
            column.name = query.columnText(0);
            const std::string_view declared = query.columnText(4);
            const bool rowidAlias = query.columnInt64(3) == 1 && declared == "INTEGER";
            column.notNullWithoutDefault =
                query.columnInt64(1) == 1 && query.columnInt64(2) == 1 && !rowidAlias;
            column.yesNo = fieldFromDeclaredType(column.name, declared).kind == FieldKind::Boolean;
            columns.push_back(std::move(column));
        }
        return columns;
    } catch (const SqliteError& failure) {
        throw failedTo("Cannot read the table's columns", failure);
    }
}

// A yes/no value as the record sets store it, so filters on the field see it: 1 or 0. An empty
// value is No, as a new row's default.
std::optional<int> yesNoValue(std::string_view text) {
    if (text.empty()) return 0;
    const std::optional<bool> yes = parseYesNo(text, kCsvYesNo);
    if (!yes) return std::nullopt;
    return *yes ? 1 : 0;
}

std::string joinQuoted(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += (out.empty() ? "\"" : ", \"") + name + "\"";
    }
    return out;
}

std::string joinPlain(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

[[noreturn]] void throwNoHeader(const std::string& path, const std::string& table,
                                const CsvHeaderMiss& miss) {
    std::string text = "The CSV file " + quotedPath(path) + " has no header row with the column" +
                       (miss.missing.size() == 1 ? " " : "s ") + joinQuoted(miss.missing) + " that table " +
                       table + " needs.";
    if (miss.line == 0) {
        text += " It holds no rows.";
    } else {
        const std::string names = excerpt(joinPlain(miss.names));
        text += " The header found (line " + std::to_string(miss.line) + "): " + names +
                (names.ends_with('.') ? "" : ".");
    }
    if (sameName(table, kJournalsTable)) {
        text +=
            " A master-list download (\"Journal title\", \"ISSN\", \"eISSN\", ...) is loaded with "
            "--master-list FILE --category NAME.";
    }
    throw Error(text + std::string(kNothingLoaded));
}

// Where each field of the header goes: a column index of the table, or none.
std::vector<std::optional<std::size_t>> mapHeader(const CsvHeader& header,
                                                  const std::vector<TableColumn>& columns,
                                                  CsvLoadReport& report, const std::string& path) {
    std::vector<std::optional<std::size_t>> targets(header.names.size());
    std::vector<std::size_t> takenBy(columns.size(), 0);
    for (std::size_t field = 0; field < header.names.size(); ++field) {
        const std::string& name = header.names[field];
        for (std::size_t column = 0; column < columns.size(); ++column) {
            if (!sameName(columns[column].name, name)) continue;
            if (takenBy[column] != 0) {
                throw Error("The CSV file " + quotedPath(path) + " names the column \"" +
                            columns[column].name + "\" twice in its header (line " +
                            std::to_string(header.line) + ", fields " + std::to_string(takenBy[column]) +
                            " and " + std::to_string(field + 1) + "); remove or rename one." +
                            std::string(kNothingLoaded));
            }
            takenBy[column] = field + 1;
            targets[field] = column;
        }
        if (!targets[field]) {
            report.ignoredColumns.push_back(name.empty() ? "(unnamed field " + std::to_string(field + 1) + ")"
                                                         : name);
        }
    }
    return targets;
}

std::string insertSql(const std::string& table, const std::vector<TableColumn>& columns,
                      const std::vector<std::optional<std::size_t>>& targets) {
    std::string names;
    std::string values;
    for (const auto& target : targets) {
        if (!target) continue;
        names += (names.empty() ? "" : ", ") + quoteIdentifier(columns[*target].name);
        values += values.empty() ? "?" : ", ?";
    }
    return "INSERT INTO " + quoteIdentifier(table) + " (" + names + ") VALUES (" + values + ")";
}

std::string lineList(const std::vector<CsvLineText>& lines, std::size_t total) {
    std::string out;
    for (const CsvLineText& line : lines) {
        out += (out.empty() ? "" : ", ") + std::to_string(line.line) + " (" + line.text + ")";
    }
    if (total > lines.size()) out += ", and " + std::to_string(total - lines.size()) + " more";
    return out;
}

}  // namespace

CsvLoadReport loadCsvIntoTable(const CsvLoadRequest& request) {
    const std::string text = readCsvText(request.csvPath);

    const std::unique_ptr<Connection> opened = openDatabaseForLoad(request.databasePath);
    Connection& connection = *opened;
    sqlite3* db = connection.handle();

    CsvLoadReport report;
    std::string allTables;
    const std::optional<std::string> table = findTable(db, request.table, allTables);
    if (!table) {
        throw Error("The database " + quotedPath(connection.dataSourcePath()) + " has no table \"" +
                    request.table + "\". Its tables: " + (allTables.empty() ? "none" : allTables) + "." +
                    std::string(kNothingLoaded));
    }
    report.table = *table;
    const std::vector<TableColumn> columns = tableColumns(db, *table);
    std::vector<std::string> columnNames;
    columnNames.reserve(columns.size());
    for (const TableColumn& column : columns) columnNames.push_back(column.name);

    const std::vector<std::string> required = requiredColumns(*table, columns);
    for (const std::string& name : required) {
        bool present = false;
        for (const std::string& column : columnNames) present = present || sameName(column, name);
        if (!present) {
            throw Error("Table " + *table + " has no column \"" + name +
                        "\", which the ranking updates read; add it to the table first." +
                        std::string(kNothingLoaded));
        }
    }

    CsvHeaderMiss miss;
    const std::optional<CsvHeader> header = findCsvHeader(text, required, columnNames, &miss);
    if (!header) throwNoHeader(request.csvPath, *table, miss);
    report.separator = header->separator;
    report.headerLine = header->line;
    report.linesBeforeHeader = header->line - 1;
    const auto targets = mapHeader(*header, columns, report, request.csvPath);
    std::optional<std::size_t> issnField;
    for (std::size_t field = 0; field < targets.size(); ++field) {
        if (targets[field] && sameName(columns[*targets[field]].name, kIssnField)) issnField = field;
    }

    // Every way out of a failed load rolls back, leaving the table as it was.
    const auto transaction = [&] {
        try {
            return std::make_unique<Transaction>(db, Transaction::Lock::Immediate);
        } catch (const SqliteError& failure) {
            throw failedTo("Cannot start writing to the database", failure);
        }
    }();
    if (!request.append) {
        try {
            exec(db, "DELETE FROM " + quoteIdentifier(*table));
        } catch (const SqliteError& failure) {
            throw failedTo("Cannot empty the table", failure);
        }
        report.rowsReplaced = static_cast<std::size_t>(changedRows(db));
    }
    const auto prepared = [&] {
        try {
            return std::make_unique<Statement>(db, insertSql(*table, columns, targets));
        } catch (const SqliteError& failure) {
            throw failedTo("Cannot write to table " + *table, failure);
        }
    }();
    Statement& insert = *prepared;

    std::vector<CsvLineText> pendingNotes;
    std::vector<CsvLineText> raggedExamples;
    std::size_t raggedCount = 0;
    const auto addRagged = [&](std::size_t line, std::size_t fields) {
        ++raggedCount;
        if (raggedExamples.size() < kCsvExampleCount) {
            raggedExamples.push_back({line, std::to_string(fields) + (fields == 1 ? " field" : " fields")});
        }
    };
    std::string writeFailure;
    bool stopped = false;
    std::size_t rowsRead = 0;

    CsvSyntaxError syntax;
    // Lines before the header are skipped unread, whatever they hold.
    const bool parsed = readCsvRows(
        std::string_view(text).substr(header->offset), header->separator,
        [&](const CsvRow& row) {
            if (row.line <= header->line) return true;
            if (row.blank()) {
                ++report.blankLines;
                return true;
            }
            if (row.size() != header->names.size()) {
                if (row.size() == 1) {
                    pendingNotes.push_back({row.line, excerpt(row[0])});
                } else {
                    addRagged(row.line, row.size());
                }
                return true;
            }
            // A single-field line followed by more data is not a closing note.
            for (const CsvLineText& note : pendingNotes) addRagged(note.line, 1);
            pendingNotes.clear();
            if (raggedCount > 0) return true;  // only gathering line numbers now

            if (issnField && !hasIssnForm(row[*issnField])) {
                if (report.badIssnExamples.size() < kCsvExampleCount) {
                    report.badIssnExamples.push_back({row.line, excerpt(row[*issnField])});
                }
                ++report.badIssnCount;
            }
            int parameter = 1;
            try {
                for (std::size_t field = 0; field < targets.size(); ++field) {
                    if (!targets[field]) continue;
                    const std::string_view value = row[field];
                    if (columns[*targets[field]].yesNo) {
                        const std::optional<int> yesNo = yesNoValue(value);
                        if (!yesNo) {
                            writeFailure = "line " + std::to_string(row.line) + ": '" + excerpt(value) +
                                           "' is not a yes/no value for field '" +
                                           columns[*targets[field]].name + "'";
                            return false;
                        }
                        insert.bindInt64(parameter++, *yesNo);
                        continue;
                    }
                    insert.bindText(parameter++, value);
                }
                insert.step();
                insert.reset();
            } catch (const SqliteError& failure) {
                writeFailure = "line " + std::to_string(row.line) + ": " + failure.what();
                return false;
            }
            ++report.rowsLoaded;
            if (report.rowsLoaded % kStopCheckEvery == 0 && stopRequested()) {
                stopped = true;
                return false;
            }
            if (++rowsRead % kCsvProgressEvery == 0 && request.progress) request.progress(rowsRead);
            return true;
        },
        &syntax, header->line, &report.literalQuoteLines);

    const std::string file = "The CSV file " + quotedPath(request.csvPath);
    if (!parsed) {
        throw Error(file + " cannot be read at line " + std::to_string(syntax.line) + ": " + syntax.reason +
                    "." + std::string(kNothingLoaded));
    }
    if (stopped) throw Stopped();
    if (!writeFailure.empty()) {
        throw Error("Cannot write to table " + *table + " (" + writeFailure + ")." +
                    std::string(kNothingLoaded));
    }
    if (raggedCount > 0) {
        throw Error(file + " has rows whose number of fields differs from the header's (" +
                    std::to_string(header->names.size()) + " fields, line " + std::to_string(header->line) +
                    "): line " + lineList(raggedExamples, raggedCount) + "." + std::string(kNothingLoaded));
    }
    if (report.rowsLoaded == 0) {
        throw Error(file + " has no data rows after its header (line " + std::to_string(header->line) + ")." +
                    std::string(kNothingLoaded));
    }
    report.notes = std::move(pendingNotes);
    if (request.progress) request.progress(rowsRead);
    try {
        noteTableReplaced(db, *table);
        transaction->commit();
    } catch (const SqliteError& failure) {
        throw failedTo("Cannot save the loaded rows", failure);
    }
    return report;
}

}  // namespace lumaref
