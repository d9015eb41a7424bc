#include "convert/access_converter.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "convert/access_header.h"
#include "convert/access_reader_process.h"
#include "db/staged_database.h"
#include "db/statement.h"
#include "text/error.h"
#include "text/stop_request.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

constexpr std::size_t kProgressEvery = 4096;
constexpr std::size_t kStopCheckEvery = 256;

void stopIfAsked() {
    if (stopRequested()) {
        throw Error("Stopped before every table was converted; no target was written.");
    }
}

std::string createTableSql(const StreamedTable& table) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (";
    bool first = true;
    for (const StreamedTable::Column& column : table.columns) {
        if (!first) sql += ", ";
        first = false;
        sql += quoteIdentifier(column.name) + " " + column.declaredType;
    }
    return sql + ")";
}

std::string insertSql(const StreamedTable& table) {
    std::string sql = "INSERT INTO " + quoteIdentifier(table.name) + " VALUES (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) sql += i == 0 ? "?" : ", ?";
    return sql + ")";
}

void bindRow(Statement& insert, const std::vector<AccessValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const AccessValue& value = values[i];
        const int index = static_cast<int>(i) + 1;
        switch (value.type) {
            case AccessValue::Type::Null:
                insert.bindNull(index);
                break;
            case AccessValue::Type::Integer:
                insert.bindInt64(index, value.integer);
                break;
            case AccessValue::Type::Real:
                insert.bindDouble(index, value.real);
                break;
            // Bound as text, never as a number: "1.50" stays "1.50".
            case AccessValue::Type::Text:
                insert.bindText(index, value.bytes);
                break;
            case AccessValue::Type::Blob:
                insert.bindBlob(index, value.bytes);
                break;
        }
    }
}

// Copies the table the reader has just described, up to its end.
std::size_t copyTable(AccessReaderProcess& reader, sqlite3* db, ConversionObserver* observer) {
    const StreamedTable table = reader.table();
    try {
        exec(db, createTableSql(table));
    } catch (const SqliteError& failure) {
        throw Error("Cannot create table '" + table.name + "' in the target: " + failure.sqliteText() + ".");
    }
    const auto prepared = [&] {
        try {
            return std::make_unique<Statement>(db, insertSql(table));
        } catch (const SqliteError& failure) {
            throw Error("Cannot write table '" + table.name + "' to the target: " + failure.sqliteText() +
                        ".");
        }
    }();
    Statement& insert = *prepared;
    const std::size_t declared = table.declaredRows;
    stopIfAsked();
    if (observer != nullptr) observer->tableStarted(table.name, declared);
    std::size_t rows = 0;
    for (StreamEvent event = reader.next(); event != StreamEvent::TableEnd; event = reader.next()) {
        if (event != StreamEvent::Row) throw Error("The Access file's reader sent data it should not have.");
        try {
            bindRow(insert, reader.values());
            insert.step();
            insert.reset();
        } catch (const SqliteError& failure) {
            throw Error("Cannot write a row of table '" + table.name +
                        "' to the target: " + failure.sqliteText() + ".");
        }
        ++rows;
        if (rows % kStopCheckEvery == 0) stopIfAsked();
        if (observer != nullptr && rows % kProgressEvery == 0)
            observer->rowsCopied(table.name, rows, declared);
    }
    // libmdb ends a table quietly at a page it cannot read; the table's own count shows what is missing.
    if (rows != declared) {
        throw Error("Table '" + table.name + "': read " + std::to_string(rows) + " of the " +
                    std::to_string(declared) + " rows it holds; the Access file may be damaged.");
    }
    if (observer != nullptr) observer->rowsCopied(table.name, rows, declared);
    return rows;
}

}  // namespace

ConversionSummary convertAccessDatabase(const std::string& source, const std::string& target,
                                        bool replaceExisting, ConversionObserver* observer) {
    const AccessHeader header = checkAccessFile(source);
    std::error_code ec;
    if (fs::equivalent(source, target, ec)) {
        throw Error("The target '" + target + "' is the Access file itself; choose another name.");
    }

    StagedDatabase staged(target, replaceExisting);
    // libmdb reads in a process of its own: a loop or a crash there on a damaged file ends that
    // process, never this one, and the staged target goes with the Error.
    AccessReaderProcess reader(source, readerLimitsFor(header.fileSize));
    ConversionSummary summary;
    for (StreamEvent event = reader.next(); event != StreamEvent::Done; event = reader.next()) {
        if (event != StreamEvent::Table)
            throw Error("The Access file's reader sent data it should not have.");
        summary.rows += copyTable(reader, staged.handle(), observer);
        ++summary.tables;
    }
    staged.commit();
    return summary;
}

}  // namespace lumaref
