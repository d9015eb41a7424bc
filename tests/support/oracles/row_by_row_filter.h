#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "filter/column.h"
#include "filter/filter_node.h"

namespace lumaref::test {

// Filter criteria evaluated the plain way, one row at a time, folding each cell as it is read: the
// reference the column-at-a-time and indexed evaluations must agree with, and their benchmark peer.
class RowByRowFilter {
public:
    // Parsed by the program's own parser, so it refuses exactly what CompiledFilter::compile refuses.
    RowByRowFilter(std::string_view criteria, const Table& table);

    bool matches(const Table& table, std::size_t row) const;
    // Every row of table that passes, ascending.
    std::vector<std::uint32_t> matchingRows(const Table& table) const;

private:
    std::unique_ptr<FilterNode> root_;  // null for a blank text: every row passes
};

}  // namespace lumaref::test
