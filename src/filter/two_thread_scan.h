#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lumaref {

// Runs `there` on the program's helper thread while `here` runs on the calling thread, and returns once
// both have ended, so nothing either touches is left in use; the first failure (of `here`, then of
// `there`) is rethrown then. With the helper busy (a call from within `there`, another caller at
// once) or no thread to be had, `there` runs after `here` on the calling thread.
void runOnTwoThreads(const std::function<void()>& here, const std::function<void()>& there);

// Appends, ascending, the passing rows among [begin, end).
using RangeScan = std::function<void(std::size_t begin, std::size_t end, std::vector<std::uint32_t>& rows)>;

// Runs `scan` over [0, split) on the calling thread and over [split, count) on a helper thread (see
// runOnTwoThreads), then appends both parts in row order, so no scan outlives the filter it was
// started for. A split of 0 or count scans on the calling thread alone.
void scanOnTwoThreads(std::size_t count, std::size_t split, const RangeScan& scan,
                      std::vector<std::uint32_t>& rows);

}  // namespace lumaref
