#pragma once

#include <cstdint>
#include <vector>

#include "filter/column.h"
#include "filter/filter_node.h"

namespace lumaref {

// Whether node is made only of text equality conditions joined by AND and OR: those are answered
// from the columns' equality indexes. Other kinds compare by rules of their own (numbers by value,
// yes/no with null as false) and are left to the scan.
bool answerableByIndex(const FilterNode& node);

// The rows passing such a node, ascending, at the cost of the rows its conditions match.
void evaluateIndexed(const FilterNode& node, const Table& table, std::vector<std::uint32_t>& rows);

}  // namespace lumaref
