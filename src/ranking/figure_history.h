#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "ranking/figure_lookup.h"

namespace lumaref {

// One metric of one source over the years, from a journal's figures (as figuresOfJournal lists them):
// its figure of the journal as a whole per year, years ascending. A figure that is not a number
// ("<0.1", "N/A") and an undated one are left out: a chart has no place for them.
std::vector<std::pair<int, double>> yearlyFigures(const std::vector<JournalFigure>& figures,
                                                  std::string_view source, std::string_view metric);

}  // namespace lumaref
