#pragma once

#include <cstdint>
#include <vector>

#include "db/column_order.h"
#include "filter/column.h"

namespace lumaref::test {

// The rows of a column in the order a click on its title shows them, the plain way: a stable sort
// whose every comparison reads both cells again, parses them as numbers or folds them as texts.
// Numbers before texts, empty cells last in both directions, equal values in stored order.
std::vector<std::uint32_t> plainSortedRows(const Column& column, SortDirection direction);

}  // namespace lumaref::test
