#include "filter/filter_scan.h"

#include <string.h>  // memmem

#include <algorithm>
#include <cstring>

#include "filter/two_thread_scan.h"

namespace lumaref {

namespace {

// Below these a second thread costs more to start than it saves.
constexpr std::size_t kRowsWorthSplitting = 200'000;
constexpr std::size_t kBytesWorthSplitting = 4u << 20;

void scanEqualRange(const FoldedColumn& column, std::string_view text, std::size_t first, std::size_t last,
                    std::vector<std::uint32_t>& rows) {
    const std::uint32_t* offsets = column.offsets.data();
    const char* arena = column.arena.data();
    const std::size_t size = text.size();
    if (size == 0) {
        for (std::size_t row = first; row < last; ++row)
            if (offsets[row + 1] == offsets[row]) rows.push_back(static_cast<std::uint32_t>(row));
        return;
    }
    // Texts of one length often share a prefix ("Category 1", "Category 2"): the last byte tells
    // most of them apart before a call to memcmp.
    // Both tests are made without branching (lengths vary unpredictably); the byte read for an empty
    // cell is harmless, as its length already fails.
    const char lastByte = text.back();
    std::uint32_t begin = offsets[first];
    for (std::size_t row = first; row < last; ++row) {
        const std::uint32_t end = offsets[row + 1];
        const bool candidate = (end - begin == size) & (arena[end - (end != 0)] == lastByte);
        if (candidate && std::memcmp(arena + begin, text.data(), size) == 0)
            rows.push_back(static_cast<std::uint32_t>(row));
        begin = end;
    }
}

void scanContainsRange(const FoldedColumn& column, std::string_view needle, std::size_t first,
                       std::size_t last, std::vector<std::uint32_t>& rows) {
    const std::vector<std::uint32_t>& offsets = column.offsets;
    const char* arena = column.arena.data();
    const std::size_t size = offsets[last];
    std::size_t from = offsets[first];
    std::size_t row = first;
    while (from < size) {
        const void* found = memmem(arena + from, size - from, needle.data(), needle.size());
        if (found == nullptr) break;
        const std::size_t hit = static_cast<std::size_t>(static_cast<const char*>(found) - arena);
        // Hits ascend, so the cell holding this one lies at or after the last cell found.
        row = static_cast<std::size_t>(
                  std::upper_bound(offsets.begin() + static_cast<std::ptrdiff_t>(row) + 1,
                                   offsets.begin() + static_cast<std::ptrdiff_t>(last) + 1, hit) -
                  offsets.begin()) -
              1;
        // One hit per row is enough; and a hit running over the cell's end means every later start
        // in that cell does too. Either way the search goes on from the next cell.
        const std::size_t cellEnd = offsets[row + 1];
        if (hit + needle.size() <= cellEnd) rows.push_back(static_cast<std::uint32_t>(row));
        from = cellEnd;
    }
}

}  // namespace

void scanEqual(const FoldedColumn& column, std::string_view text, std::vector<std::uint32_t>& rows) {
    const std::size_t count = column.rows();
    if (count == 0) return;
    const std::size_t split = count >= kRowsWorthSplitting ? count / 2 : 0;
    scanOnTwoThreads(
        count, split,
        [&](std::size_t first, std::size_t last, std::vector<std::uint32_t>& part) {
            scanEqualRange(column, text, first, last, part);
        },
        rows);
}

void scanContains(const FoldedColumn& column, std::string_view needle, std::vector<std::uint32_t>& rows) {
    const std::size_t count = column.rows();
    if (count == 0 || needle.empty()) return;
    // Split where half the bytes lie: the time goes with the bytes searched, not the rows.
    const std::size_t bytes = column.offsets[count];
    std::size_t split = 0;
    if (bytes >= kBytesWorthSplitting) {
        split = static_cast<std::size_t>(
            std::lower_bound(column.offsets.begin(), column.offsets.end(), bytes / 2) -
            column.offsets.begin());
    }
    scanOnTwoThreads(
        count, split,
        [&](std::size_t first, std::size_t last, std::vector<std::uint32_t>& part) {
            scanContainsRange(column, needle, first, last, part);
        },
        rows);
}

}  // namespace lumaref
