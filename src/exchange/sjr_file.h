#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "exchange/ranking_figures.h"
#include "exchange/ranking_header.h"

namespace lumaref {

// Whether a header row is the SJR journal-rank download's, and the columns it must have.
bool isSjrHeader(std::span<const std::string> names);
extern const std::string_view kSjrColumnsText;

// Reads the SJR journal-rank download from the header found: ";"-separated, decimal commas, the year
// from the "Total Docs. (YYYY)" column unless `year` is given. "Issn" holds the journal's numbers without
// hyphen, separated by ", " ("-" for none): the first is filed as its ISSN, the second as its E-ISSN.
// "Categories" is "Oncology (Q1); Multidisciplinary". A field whose quotes were left out, so that its
// "; " split it, is joined again. Throws Error naming the problem; nothing is stored.
//
// The figures: SJR, SJR Best Quartile and H index of each journal, and its SJR Quartile in each
// category that has one.
RankingRead readSjrFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                        std::optional<int> year);

}  // namespace lumaref
