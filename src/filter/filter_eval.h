#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/column.h"
#include "filter/filter_node.h"

namespace lumaref {

// Column at a time: the rows of table passing node, ascending, replacing the contents of rows.
void evaluateColumnwise(const FilterNode& node, const Table& table, std::vector<std::uint32_t>& rows);
// The same among candidates (ascending) only.
void evaluateColumnwiseWithin(const FilterNode& node, const Table& table,
                              const std::vector<std::uint32_t>& candidates, std::vector<std::uint32_t>& rows);

// The comparisons of one cell, already folded as the comparison needs.
bool compareText(const Comparison& c, std::string_view folded);
bool compareNumber(CompareOp op, double cell, double literal);

}  // namespace lumaref
