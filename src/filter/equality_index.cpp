#include "filter/equality_index.h"

#include <algorithm>

namespace lumaref {

void EqualityIndex::add(std::uint32_t row, std::string key) {
    std::vector<std::uint32_t>& rows = groups_[std::move(key)];
    // Loading and appending add rows in ascending order: only an edit lands in the middle.
    if (rows.empty() || rows.back() < row) {
        rows.push_back(row);
        return;
    }
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at == rows.end() || *at != row) rows.insert(at, row);
}

void EqualityIndex::remove(std::uint32_t row, std::string_view key) {
    const auto group = groups_.find(key);
    if (group == groups_.end()) return;
    std::vector<std::uint32_t>& rows = group->second;
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at != rows.end() && *at == row) rows.erase(at);
    if (rows.empty()) groups_.erase(group);
}

const std::vector<std::uint32_t>* EqualityIndex::rowsOf(std::string_view key) const {
    const auto group = groups_.find(key);
    return group == groups_.end() ? nullptr : &group->second;
}

std::size_t EqualityIndex::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + groups_.bucket_count() * sizeof(void*);
    for (const auto& [key, rows] : groups_) {
        // A node holds the pair and a link; a long key has a block of its own.
        bytes += sizeof(std::string) + sizeof(std::vector<std::uint32_t>) + 2 * sizeof(void*) +
                 rows.capacity() * sizeof(std::uint32_t);
        if (key.capacity() > 15) bytes += key.capacity();
    }
    return bytes;
}

}  // namespace lumaref
