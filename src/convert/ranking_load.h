#pragma once

#include <string>

#include "exchange/ranking_file.h"

namespace lumaref {

class PgConnection;

// A ranking file loaded by lumaref-convert: the file as read, and what storing it did.
struct RankingLoadReport {
    RankingFile file;
    RankingStoreReport stored;
};

// Loads a ranking file (--jcr, --sjr, --doaj, --list) into a Lumaref database in one transaction: a
// JCR export also replaces jcr2018 and JCRQ1..JCRQ4 as ever; every file replaces the figures of its
// source and year (exchange/ranking_file.h). Throws Error naming the problem; the database is then
// unchanged.
RankingLoadReport loadRankingFile(const std::string& csvPath, const std::string& databasePath,
                                  const RankingFileRequest& request);
// The same onto a server, the rows going by COPY ... FROM STDIN.
RankingLoadReport loadRankingFile(const std::string& csvPath, PgConnection& target,
                                  const RankingFileRequest& request);

// What a finished load says: for a JCR export the rows read and the rows of each table, then for
// every file the figures recorded.
std::string rankingLoadSummary(const RankingLoadReport& report, double seconds);

}  // namespace lumaref
