#include "convert/csv_master_list_load.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unordered_map>

#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/schema_names.h"
#include "db/statement.h"
#include "exchange/import_names.h"
#include "exchange/master_list_csv.h"
#include "text/error.h"

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

}  // namespace

MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request) {
    MasterListLoadReport report;
    report.indexField = indexFieldFor(request);
    const std::string text = readCsvText(request.csvPath);
    // The subject box of the window has no counterpart here: a row without categories is filed
    // under the category itself.
    const MasterListCsv list = readMasterListCsv(text, request.category);
    checkImportName("category", request.category);
    for (const MasterListRecord& record : list.records) checkImportName("subject", record.subject);
    report.rows = list.rows;
    report.withoutIssn = list.rowsWithoutIssn;

    const std::unique_ptr<Connection> connection = openDatabaseForLoad(request.databasePath);
    sqlite3* db = connection->handle();
    Transaction transaction(db, Transaction::Lock::Immediate);

    std::unordered_map<std::string, std::int64_t> stored;
    Statement existing(db, "SELECT rowid, " + quoteIdentifier(kIssnField) + ", " +
                               quoteIdentifier(kEIssnField) + ", " + quoteIdentifier(kCategoryField) + ", " +
                               quoteIdentifier(kSubjectField) + " FROM " + quoteIdentifier(kJournalsTable));
    while (existing.step()) {
        if (auto key = masterListMatchKey(existing.columnText(1), existing.columnText(2),
                                          existing.columnText(3), existing.columnText(4))) {
            stored.emplace(std::move(*key), existing.columnInt64(0));
        }
    }

    const bool flagged = !report.indexField.empty();
    std::string insertSql = "INSERT INTO " + quoteIdentifier(kJournalsTable) + " (" +
                            quoteIdentifier(kTitleField) + ", " + quoteIdentifier(kIssnField) + ", " +
                            quoteIdentifier(kEIssnField) + ", " + quoteIdentifier(kAddressField) + ", " +
                            quoteIdentifier(kCategoryField) + ", " + quoteIdentifier(kSubjectField);
    insertSql += flagged ? ", " + quoteIdentifier(report.indexField) + ") VALUES (?, ?, ?, ?, ?, ?, 1)"
                         : ") VALUES (?, ?, ?, ?, ?, ?)";
    Statement insert(db, insertSql);
    std::unique_ptr<Statement> setFlag;
    if (flagged) {
        setFlag =
            std::make_unique<Statement>(db, "UPDATE " + quoteIdentifier(kJournalsTable) + " SET " +
                                                quoteIdentifier(report.indexField) + " = 1 WHERE rowid = ?");
    }

    for (const MasterListRecord& record : list.records) {
        std::optional<std::string> key =
            masterListMatchKey(record.issn, record.eIssn, request.category, record.subject);
        if (key) {
            if (const auto found = stored.find(*key); found != stored.end()) {
                ++report.merged;
                if (setFlag) {
                    setFlag->bindInt64(1, found->second);
                    setFlag->step();
                    setFlag->reset();
                }
                continue;
            }
        }
        const std::string_view values[] = {record.title,   record.issn,      record.eIssn,
                                           record.address, request.category, record.subject};
        for (int i = 0; i < 6; ++i) {
            // An empty value is stored as none, as the window leaves a field it has no value for.
            if (values[i].empty()) {
                insert.bindNull(i + 1);
            } else {
                insert.bindText(i + 1, values[i]);
            }
        }
        insert.step();
        insert.reset();
        ++report.added;
        if (key) stored.emplace(std::move(*key), lastInsertRowId(db));
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
           ", " + std::to_string(report.withoutIssn) + " rows without ISSN or eISSN.\n";
}

}  // namespace lumaref
