#include "convert/csv_master_list_load.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/declared_type.h"
#include "db/schema_names.h"
#include "db/statement.h"
#include "exchange/import_names.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_matches.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

std::string indexFieldFor(const MasterListLoadRequest& request) {
    if (request.indexField) return *request.indexField;
    const std::string name = std::filesystem::path(request.csvPath).filename().string();
    if (const std::optional<std::string_view> field = citationIndexFromFileName(name))
        return std::string(*field);
    throw Error("The file name " + quotedPath(name) +
                " names no citation index: give --index SCI, SCIE, ESCI, AHCI or none." +
                std::string(kNothingLoaded));
}

// The fields a record fills, in the order of the INSERT's parameters.
enum Field : std::uint8_t { kTitle, kIssn, kEIssn, kAddress, kCategory, kSubject, kFieldCount };
constexpr std::array<std::string_view, kFieldCount> kFields = {kTitleField,   kIssnField,     kEIssnField,
                                                               kAddressField, kCategoryField, kSubjectField};

std::string fieldList() {
    std::string list;
    for (const std::string_view field : kFields) {
        if (!list.empty()) list += ", ";
        list += quoteIdentifier(field);
    }
    return list;
}

}  // namespace

MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request) {
    MasterListLoadReport report;
    report.indexField = indexFieldFor(request);
    // The subject box of the window has no counterpart here: a row without categories is filed
    // under the category itself.
    const MasterListCsv list = readMasterListCsvText(readCsvText(request.csvPath), request.category);
    checkImportName("category", request.category);
    for (const MasterListRecord& record : list.records) checkImportName("subject", record.subject);
    report.rows = list.rows;
    report.withoutIssn = list.rowsWithoutIssn;
    report.literalQuoteLines = list.literalQuoteLines;

    // Written as the sqlite3 shell's .import writes: under the journal the file has (the rollback
    // journal between runs of the program, so each page is written once), the commit on the disk before
    // the load is reported done.
    const std::unique_ptr<Connection> connection = openDatabaseForLoad(request.databasePath, true);
    sqlite3* db = connection->handle();
    exec(db, "PRAGMA synchronous=FULL");
    Transaction transaction(db, Transaction::Lock::Immediate);

    Statement existing(db, "SELECT rowid, " + fieldList() + " FROM " + quoteIdentifier(kJournalsTable));
    std::array<FieldInfo, kFieldCount> fields;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        fields[i] =
            fieldFromDeclaredType(std::string(kFields[i]), existing.declaredType(static_cast<int>(i) + 1));
    }
    MasterListCsvMatches stored;
    while (existing.step()) {
        const auto column = [&existing](Field field) {
            return existing.columnText(static_cast<int>(field) + 1);
        };
        stored.findOrAdd(column(kIssn), column(kEIssn), column(kCategory), column(kSubject),
                         existing.columnInt64(0));
    }

    const bool flagged = !report.indexField.empty();
    Statement insert(
        db, "INSERT INTO " + quoteIdentifier(kJournalsTable) + " (" + fieldList() +
                (flagged ? ", " + quoteIdentifier(report.indexField) + ") VALUES (?, ?, ?, ?, ?, ?, 1)"
                         : ") VALUES (?, ?, ?, ?, ?, ?)"));
    std::unique_ptr<Statement> setFlag;
    if (flagged) {
        setFlag =
            std::make_unique<Statement>(db, "UPDATE " + quoteIdentifier(kJournalsTable) + " SET " +
                                                quoteIdentifier(report.indexField) + " = 1 WHERE rowid = ?");
    }

    const std::string_view category = withinFieldSize(fields[kCategory], request.category);
    for (const MasterListRecord& record : list.records) {
        // Cut as the record set cuts a value it is given, so the key is the one a later load reads back.
        const std::array<std::string_view, kFieldCount> values = {
            withinFieldSize(fields[kTitle], record.title),
            withinFieldSize(fields[kIssn], record.issn),
            withinFieldSize(fields[kEIssn], record.eIssn),
            withinFieldSize(fields[kAddress], record.address),
            category,
            withinFieldSize(fields[kSubject], record.subject)};
        const auto [rowid, isNew] =
            stored.findOrAdd(values[kIssn], values[kEIssn], values[kCategory], values[kSubject], 0);
        if (!isNew) {
            ++report.merged;
            if (setFlag) {
                setFlag->bindInt64(1, *rowid);
                setFlag->step();
                setFlag->reset();
            }
            continue;
        }
        for (std::size_t i = 0; i < kFieldCount; ++i) {
            // An empty value is stored as none, as the window leaves a field it has no value for.
            const int parameter = static_cast<int>(i) + 1;
            if (values[i].empty()) {
                insert.bindNull(parameter);
            } else {
                insert.bindText(parameter, values[i]);
            }
        }
        insert.step();
        insert.reset();
        ++report.added;
        if (rowid != nullptr) *rowid = lastInsertRowId(db);
    }
    transaction.commit();
    return report;
}

std::string masterListLoadSummary(const MasterListLoadReport& report, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    return "Read " + std::to_string(report.rows) + " rows in " + time +
           " s: " + std::to_string(report.added) + " journal records added, " +
           std::to_string(report.merged) + " merged into records already stored" +
           (report.indexField.empty() ? " (no citation index flag)" : " (flag: " + report.indexField + ")") +
           ", " + std::to_string(report.withoutIssn) + " rows without ISSN or eISSN.\n" +
           (report.literalQuoteLines.empty()
                ? ""
                : "Warning: " + literalQuoteWarning(report.literalQuoteLines) + ".\n");
}

}  // namespace lumaref
