#include "convert/ranking_load.h"

#include <cstdio>
#include <memory>

#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/postgres_connection.h"
#include "db/ranking_tables.h"
#include "db/store_transaction.h"
#include "text/csv_rows.h"

namespace lumaref {

namespace {

std::string jcrSummary(const JcrLoadReport& report, const std::string& time) {
    std::string summary = "Read " + std::to_string(report.rowsRead) + " rows in " + time +
                          " s; impact factors from \"" + report.impactFactorColumn + "\"" +
                          (report.year.empty() ? "" : " (year " + report.year + ")") + ".\n";
    summary += "Stored " + std::to_string(report.rankingRows) + " rows in " + std::string(kRankingTable);
    for (std::size_t q = 0; q < kQuartileTables.size(); ++q) {
        summary += ", " + std::to_string(report.quartileRows[q]) + " in " + std::string(kQuartileTables[q]);
    }
    summary += ".\n" + std::to_string(report.journalsWithoutIssn) +
               " journals without ISSN or eISSN (not stored), " + std::to_string(report.rowsWithoutQuartile) +
               " rows without a quartile.\n";
    return summary;
}

}  // namespace

RankingLoadReport loadRankingFile(const std::string& csvPath, const std::string& databasePath,
                                  const RankingFileRequest& request) {
    RankingLoadReport report{readRankingFile(readCsvText(csvPath), csvPath, request), {}};
    const std::unique_ptr<Connection> connection = openDatabaseForLoad(databasePath);
    inStoreTransaction(connection->handle(), [&](StoreTransaction& store) {
        report.stored = storeRankingFile(store, report.file, csvPath);
    });
    return report;
}

RankingLoadReport loadRankingFile(const std::string& csvPath, PgConnection& target,
                                  const RankingFileRequest& request) {
    RankingLoadReport report{readRankingFile(readCsvText(csvPath), csvPath, request), {}};
    addRankingTables(target);
    inStoreTransaction(target, [&](StoreTransaction& store) {
        report.stored = storeRankingFile(store, report.file, csvPath);
    });
    return report;
}

std::string rankingLoadSummary(const RankingLoadReport& report, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    const RankingFile& file = report.file;
    std::string summary =
        file.layout == RankingLayout::Jcr
            ? jcrSummary(file.jcr.report, time)
            : "Read " + std::to_string(file.read.report.rows) + " rows in " + time + " s.\n";
    summary += rankingStoreSummary(file, report.stored) + "\n";
    if (!file.read.report.literalQuoteLines.empty())
        summary += "Warning: " + literalQuoteWarning(file.read.report.literalQuoteLines) + ".\n";
    return summary;
}

}  // namespace lumaref
