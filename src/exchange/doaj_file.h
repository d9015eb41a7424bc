#pragma once

#include <span>
#include <string>
#include <string_view>

#include "exchange/ranking_figures.h"
#include "exchange/ranking_header.h"

namespace lumaref {

// Whether a header row is the DOAJ journal CSV's, and the columns it must have.
bool isDoajHeader(std::span<const std::string> names);
extern const std::string_view kDoajColumnsText;

// Reads the DOAJ journal CSV from the header found, its columns by name in any order, as the figures
// of `year`. Every journal listed is open access; an empty "APC" is unknown (no figure), not "no".
// Throws Error naming the problem; nothing is stored.
//
// The figures: Open access ("yes"), APC ("yes"/"no"), APC amount (amount and currency, as written),
// Licence, and DOAJ Seal ("yes"/"no").
RankingRead readDoajFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                         int year);

}  // namespace lumaref
