#pragma once

#include <cstddef>
#include <string_view>

#include "exchange/jcr_export.h"
#include "exchange/ranking_figures.h"

namespace lumaref {

class StoreTransaction;

struct RankingStoreReport {
    std::size_t journalsReplaced = 0;  // of the same source and year loaded before
    std::size_t journals = 0;
    std::size_t figures = 0;
};

// Replaces the figures of one source and year with `figures` (numbered anew: a load after all the
// others), inside the caller's transaction; `fileName` is kept with them. Throws Error naming a table
// the database lacks (one opened read-only since before the tables existed).
RankingStoreReport replaceRankingFigures(StoreTransaction& store, const RankingFigures& figures,
                                         std::string_view fileName);

// Replaces the rows of jcr2018 and JCRQ1..JCRQ4 with those of an export, inside the caller's transaction.
void replaceJcrTables(StoreTransaction& store, const JcrExport& jcr);

}  // namespace lumaref
