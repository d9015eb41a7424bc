#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lumaref {

// Appends, ascending, the passing rows among [begin, end).
using RangeScan = std::function<void(std::size_t begin, std::size_t end, std::vector<std::uint32_t>& rows)>;

// Runs `scan` over [0, split) on the calling thread and over [split, count) on a helper thread, then
// appends both parts in row order. The helper is joined before this returns or throws, so no scan
// outlives the filter it was started for. A split of 0 or count (or no thread to be had) scans on
// the calling thread alone.
void scanOnTwoThreads(std::size_t count, std::size_t split, const RangeScan& scan,
                      std::vector<std::uint32_t>& rows);

}  // namespace lumaref
