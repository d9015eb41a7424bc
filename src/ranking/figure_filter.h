#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ranking/figure_columns.h"

namespace lumaref {

class Table;

// The filters on figures, beside the selection: each narrows the journals shown when set.
struct FigureFilter {
    bool openAccessOnly = false;
    bool noApc = false;                        // DOAJ says there is none; unknown is not "no"
    std::optional<int> subjectQuartileAtMost;  // "Q in subject" of 1 to this; a journal without one fails
    std::string ownList;                       // the list a journal must be on; empty for none

    bool active() const { return openAccessOnly || noApc || subjectQuartileAtMost || !ownList.empty(); }
    // The columns whose figures it reads, for FigureColumnValues::read: "Q in subject", "Open access",
    // "APC", then the list when one is set, in that order.
    std::vector<FigureColumn> columns() const;
    // Whether a journal with these figures (as the columns show them) passes.
    bool passes(std::string_view subjectQuartile, std::string_view openAccess, std::string_view apc,
                std::string_view listed) const;
};

// One flag per row of `journals`: whether the row passes. `values` was read for filter.columns().
std::vector<bool> rowsPassing(const FigureFilter& filter, const FigureColumnValues& values,
                              const Table& journals);

}  // namespace lumaref
