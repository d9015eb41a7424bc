#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "filter/column.h"

namespace lumaref {

// Scans over the bytes of a folded column. Rows in `overrides` are scanned from their stale bytes
// like any other: the caller re-decides them.

// Appends, ascending, the rows whose folded text equals text.
void scanEqual(const FoldedColumn& column, std::string_view text, std::vector<std::uint32_t>& rows);

// Appends, ascending, the rows whose folded text contains needle (not empty): one search over the
// whole arena, a hit counting only when it lies wholly inside one cell.
void scanContains(const FoldedColumn& column, std::string_view needle, std::vector<std::uint32_t>& rows);

}  // namespace lumaref
