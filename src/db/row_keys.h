#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "db/store.h"

namespace lumaref {

// The keys of a snapshot's rows, in row order, and the way back from a key to its row. Keys come in
// ascending order from a load and from one program's appends, and are then found by binary search;
// rows another program appended meanwhile may break the order, and a sorted copy then finds them.
class RowKeys {
public:
    void assign(std::vector<RowKey> keys);
    void clear() { assign({}); }
    void push_back(RowKey key);
    // The key the store gave a row that was sent before its key was known.
    void set(std::size_t row, RowKey key);
    // The rows from `rows` on go (appends that were never stored).
    void truncate(std::size_t rows);

    std::size_t size() const { return keys_.size(); }
    RowKey operator[](std::size_t row) const { return keys_[row]; }
    // The row holding `key`, if any.
    std::optional<std::size_t> find(RowKey key) const;

    std::size_t memoryBytes() const;

private:
    std::vector<RowKey> keys_;
    bool ascending_ = true;
    // Only while the keys are out of order: (key, row) by key, made on the first find.
    mutable std::vector<std::pair<RowKey, std::uint32_t>> sorted_;
};

}  // namespace lumaref
