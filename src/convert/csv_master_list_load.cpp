#include "convert/csv_master_list_load.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/declared_type.h"
#include "db/statement.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/stopped.h"

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

enum Field : std::uint8_t { kTitle, kIssn, kEIssn, kAddress, kCategory, kSubject };

std::string fieldList() {
    std::string list;
    for (const std::string_view field : kMasterListFields) {
        if (!list.empty()) list += ", ";
        list += quoteIdentifier(field);
    }
    return list;
}

}  // namespace

MasterListToLoad readMasterListToLoad(const MasterListLoadRequest& request) {
    MasterListToLoad load;
    load.report.indexField = indexFieldFor(request);
    load.category = request.category;
    // The subject box of the window has no counterpart here: a row without categories is filed
    // under the category itself.
    const std::string text = readCsvText(request.csvPath);
    try {
        load.list = readMasterListCsvText(text, request.category);
    } catch (const Stopped&) {
        throw;
    } catch (const Error& error) {
        // The window shows the bare reason beside the file it names; here the file is named too.
        std::string reason = error.what();
        if (!reason.empty())
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        throw Error("The master list " + quotedPath(request.csvPath) + " cannot be loaded: " + reason + "." +
                    std::string(kNothingLoaded));
    }
    checkMasterListNames(load.list, request.category);
    load.report.rows = load.list.rows;
    load.report.withoutIssn = load.list.rowsWithoutIssn;
    load.report.literalQuoteLines = load.list.literalQuoteLines;
    return load;
}

MasterListChanges decideMasterListLoad(MasterListMerge& merge, MasterListToLoad& load,
                                       const std::array<FieldInfo, kMasterListFieldCount>& fields) {
    MasterListChanges changes = merge.decide(load.list, load.category, fields);
    load.report.added = changes.added.size();
    load.report.merged = static_cast<std::size_t>(changes.counts.merged);
    return changes;
}

MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request) {
    MasterListToLoad load = readMasterListToLoad(request);

    const std::unique_ptr<Connection> connection = openDatabaseForLoad(request.databasePath);
    sqlite3* db = connection->handle();
    Transaction transaction(db, Transaction::Lock::Immediate);

    Statement existing(db, "SELECT rowid, " + fieldList() + " FROM " + quoteIdentifier(kJournalsTable));
    std::array<FieldInfo, kMasterListFieldCount> fields;
    for (std::size_t i = 0; i < kMasterListFieldCount; ++i) {
        fields[i] = fieldFromDeclaredType(std::string(kMasterListFields[i]),
                                          existing.declaredType(static_cast<int>(i) + 1));
    }
    MasterListMerge merge;
    while (existing.step()) {
        const auto column = [&existing](Field field) {
            return existing.columnText(static_cast<int>(field) + 1);
        };
        merge.addStored(column(kIssn), column(kEIssn), column(kCategory), column(kSubject),
                        existing.columnInt64(0));
    }
    const MasterListChanges changes = decideMasterListLoad(merge, load, fields);

    const std::string& flag = load.report.indexField;
    Statement insert(db,
                     "INSERT INTO " + quoteIdentifier(kJournalsTable) + " (" + fieldList() +
                         (flag.empty() ? ") VALUES (?, ?, ?, ?, ?, ?)"
                                       : ", " + quoteIdentifier(flag) + ") VALUES (?, ?, ?, ?, ?, ?, 1)"));
    for (const MasterListRow& row : changes.added) {
        for (std::size_t i = 0; i < kMasterListFieldCount; ++i) {
            // An empty value is stored as none, as the window leaves a field it has no value for.
            const int parameter = static_cast<int>(i) + 1;
            if (row[i].empty()) {
                insert.bindNull(parameter);
            } else {
                insert.bindText(parameter, row[i]);
            }
        }
        insert.step();
        insert.reset();
    }
    if (!flag.empty() && !changes.flagged.empty()) {
        Statement setFlag(db, "UPDATE " + quoteIdentifier(kJournalsTable) + " SET " + quoteIdentifier(flag) +
                                  " = 1 WHERE rowid = ?");
        for (const std::int64_t rowid : changes.flagged) {
            setFlag.bindInt64(1, rowid);
            setFlag.step();
            setFlag.reset();
        }
    }
    transaction.commit();
    return load.report;
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
