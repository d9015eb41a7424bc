#include "db/row_keys.h"

#include <algorithm>

namespace lumaref {

void RowKeys::assign(std::vector<RowKey> keys) {
    keys_ = std::move(keys);
    ascending_ = std::is_sorted(keys_.begin(), keys_.end());
    sorted_.clear();
    sorted_.shrink_to_fit();
}

void RowKeys::push_back(RowKey key) {
    const auto row = static_cast<std::uint32_t>(keys_.size());
    if (ascending_ && !keys_.empty() && key < keys_.back()) ascending_ = false;
    keys_.push_back(key);
    if (!sorted_.empty()) {
        const std::pair<RowKey, std::uint32_t> entry{key, row};
        sorted_.insert(std::lower_bound(sorted_.begin(), sorted_.end(), entry), entry);
    }
}

void RowKeys::set(std::size_t row, RowKey key) {
    keys_[row] = key;
    if (ascending_) {
        ascending_ =
            (row == 0 || keys_[row - 1] <= key) && (row + 1 == keys_.size() || key <= keys_[row + 1]);
    }
    sorted_.clear();
}

void RowKeys::truncate(std::size_t rows) {
    if (rows >= keys_.size()) return;
    keys_.resize(rows);
    if (!ascending_) ascending_ = std::is_sorted(keys_.begin(), keys_.end());
    sorted_.clear();
}

std::optional<std::size_t> RowKeys::find(RowKey key) const {
    if (ascending_) {
        const auto found = std::lower_bound(keys_.begin(), keys_.end(), key);
        if (found == keys_.end() || *found != key) return std::nullopt;
        return static_cast<std::size_t>(found - keys_.begin());
    }
    if (sorted_.size() != keys_.size()) {
        sorted_.clear();
        sorted_.reserve(keys_.size());
        for (std::size_t row = 0; row < keys_.size(); ++row)
            sorted_.emplace_back(keys_[row], static_cast<std::uint32_t>(row));
        std::sort(sorted_.begin(), sorted_.end());
    }
    const auto found =
        std::lower_bound(sorted_.begin(), sorted_.end(), std::pair<RowKey, std::uint32_t>{key, 0});
    if (found == sorted_.end() || found->first != key) return std::nullopt;
    return found->second;
}

std::size_t RowKeys::memoryBytes() const {
    return keys_.capacity() * sizeof(RowKey) + sorted_.capacity() * sizeof(std::pair<RowKey, std::uint32_t>);
}

}  // namespace lumaref
