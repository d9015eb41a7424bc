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
#include "db/store_transaction.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/stopped.h"
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
    inStoreTransaction(db, [&](StoreTransaction& store) {
        const std::string& flag = load.report.indexField;
        Statement existing(db, "SELECT rowid, " + fieldList() +
                                   (flag.empty() ? "" : ", " + quoteIdentifier(flag)) + " FROM " +
                                   quoteIdentifier(kJournalsTable));
        std::array<FieldInfo, kMasterListFieldCount> fields;
        for (std::size_t i = 0; i < kMasterListFieldCount; ++i) {
            fields[i] = fieldFromDeclaredType(std::string(kMasterListFields[i]),
                                              existing.declaredType(static_cast<int>(i) + 1));
        }
        IndexListing listing(load.list, withinFieldSize(fields[kCategory], load.category));
        std::vector<std::int64_t> leftIndex;
        MasterListMerge merge;
        while (existing.step()) {
            const auto column = [&existing](Field field) {
                return existing.columnText(static_cast<int>(field) + 1);
            };
            const std::int64_t rowid = existing.columnInt64(0);
            merge.addStored(column(kIssn), column(kEIssn), column(kCategory), column(kSubject), rowid);
            if (!flag.empty() &&
                listing.hasLeft(column(kCategory),
                                existing.columnInt64(static_cast<int>(kMasterListFieldCount) + 1) != 0,
                                column(kIssn), column(kEIssn))) {
                leftIndex.push_back(rowid);
            }
        }
        const MasterListChanges changes = decideMasterListLoad(merge, load, fields);

        std::vector<std::string_view> columns(kMasterListFields.begin(), kMasterListFields.end());
        if (!flag.empty()) columns.push_back(flag);
        store.append(kJournalsTable, columns, [&](RowSink& rows) {
            for (const MasterListRow& row : changes.added) {
                // An empty value is stored as none, as the window leaves a field it has no value for.
                for (const std::string_view value : row)
                    rows.text(value.empty() ? std::nullopt : std::optional<std::string_view>(value));
                if (!flag.empty()) rows.number(1);
                rows.endRow();
            }
        });
        const auto setFlag = [&](const std::vector<std::int64_t>& rowids, int value) {
            if (rowids.empty()) return;
            Statement update(db, "UPDATE " + quoteIdentifier(kJournalsTable) + " SET " +
                                     quoteIdentifier(flag) + " = " + std::to_string(value) +
                                     " WHERE rowid = ?");
            for (const std::int64_t rowid : rowids) {
                update.bindInt64(1, rowid);
                update.step();
                update.reset();
            }
        };
        if (!flag.empty()) {
            setFlag(changes.flagged, 1);
            load.report.flaggedNotListed = leftIndex.size();
            if (request.replaceIndex) {
                setFlag(leftIndex, 0);
                load.report.flagsCleared = leftIndex.size();
            }
        }
        store.noteReplaced(kJournalsTable);
    });
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
           (report.indexField.empty()
                ? ""
                : std::to_string(report.flaggedNotListed) +
                      " journal records of the category carry the flag but are not in the file, " +
                      std::to_string(report.flagsCleared) + " cleared" +
                      (report.flaggedNotListed > report.flagsCleared ? " (--replace-index clears them)"
                                                                     : "") +
                      ".\n") +
           (report.literalQuoteLines.empty()
                ? ""
                : "Warning: " + literalQuoteWarning(report.literalQuoteLines) + ".\n");
}

}  // namespace lumaref
