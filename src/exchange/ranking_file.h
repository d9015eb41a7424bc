#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "exchange/jcr_export.h"
#include "exchange/ranking_figures.h"
#include "exchange/ranking_header.h"
#include "exchange/ranking_store.h"

namespace lumaref {

class StoreTransaction;

// What the user gave beside a ranking file.
struct RankingFileRequest {
    std::optional<RankingLayout> layout;  // nullopt: whichever the header names
    std::optional<int> year;              // an SJR download's or own list's year, instead of the file's
    std::string listName;                 // an own list's name: its source
    int currentYear = 0;                  // the year DOAJ figures are filed under: the year they are loaded
};

// A ranking file read whole: its layout, figures and report, and for a JCR export the rows of
// jcr2018 and JCRQ1..JCRQ4.
struct RankingFile {
    RankingLayout layout = RankingLayout::OwnList;
    RankingRead read;
    JcrExport jcr;
};

// Reads a ranking file (UTF-8 text) of the layout its header names, or of `request.layout`. A header
// of no layout Lumaref reads (or not of the one asked for) is refused with one message naming the
// columns found and those expected. Throws Error; nothing is stored.
RankingFile readRankingFile(std::string_view text, const std::string& fileName,
                            const RankingFileRequest& request);

// Stores it inside the caller's transaction: for a JCR export, jcr2018 and JCRQ1..JCRQ4 replaced; for
// every file, the figures of its source and year replaced.
RankingStoreReport storeRankingFile(StoreTransaction& store, const RankingFile& file,
                                    std::string_view fileName);

// "SJR 2023" or "National list" (undated).
std::string sourceAndYearText(const RankingFigures& figures);
// "Recorded 2,345 figures of 812 journals as SJR 2023 (replacing 800 journals); 3 rows without an ISSN."
std::string rankingStoreSummary(const RankingFile& file, const RankingStoreReport& stored);

}  // namespace lumaref
