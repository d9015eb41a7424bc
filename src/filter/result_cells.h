#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "filter/column.h"

namespace lumaref {

// The cells of one text column, folded as Like compares them, for the rows of a filter result: in the
// result's order and one after another. A word typed on is looked for in these few bytes, read in
// order, rather than among the cells of the whole column, scattered far beyond the caches.
struct ResultCells {
    int column = -1;
    FoldedColumn cells;  // no overrides: edited rows are copied with their new text

    std::size_t memoryBytes() const;
};

// The cells of `column` (a text column of `table`) for `rows`.
std::shared_ptr<const ResultCells> gatherCells(const Table& table, int column,
                                               const std::vector<std::uint32_t>& rows);
// The cells of `from` at `places` (ascending), for the rows at those places of `from`'s result.
std::shared_ptr<const ResultCells> pickCells(const ResultCells& from,
                                             const std::vector<std::uint32_t>& places);

}  // namespace lumaref
