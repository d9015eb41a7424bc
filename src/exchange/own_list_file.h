#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "exchange/ranking_figures.h"
#include "exchange/ranking_header.h"

namespace lumaref {

// Whether a header row can be an institution's own list: it names an ISSN or an E-ISSN column.
bool isOwnListHeader(std::span<const std::string> names);
extern const std::string_view kOwnListColumnsText;

// Reads an institution's own list (a national or school list of approved journals) from the header
// found, as the figures of source `name` and `year` (none: undated). The journal's numbers come from
// its ISSN and E-ISSN columns, its title from a title column ("Title", "Journal title", "Journal name",
// "Journal"); every other named column is a metric of the list, its cells the values (an empty cell no
// figure). In a file separated by ";" or tabs a decimal comma is read as a full stop. Throws Error
// naming the problem; nothing is stored.
RankingRead readOwnListFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                            const std::string& name, std::optional<int> year);

}  // namespace lumaref
