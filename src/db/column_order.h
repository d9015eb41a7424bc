#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "filter/column.h"

namespace lumaref {

enum class SortDirection { Ascending, Descending };

// The rows of one column in the order a click on its title shows them. A cell that reads as a number
// sorts by its value, before every text; a text sorts folded for case and accents, as the search folds
// it; empty cells come last in both directions. Cells of equal value keep their stored order.
//
// The keys are made once, when the order is built: a number's bits in an order-preserving form, a
// text's folded bytes eight at a time. Rows are sorted by those keys a byte at a time from the most
// significant one, so most rows are placed without ever comparing two cells.
class ColumnOrder {
public:
    static ColumnOrder build(const Column& column);

    std::size_t rows() const { return ascending_.size(); }
    // Every row, in the order `direction` shows them. Descending is the ascending order with its groups
    // of equal values in reverse, each group still in stored order: no second sort.
    void arrange(SortDirection direction, std::vector<std::uint32_t>& order) const;

    std::size_t memoryBytes() const;

    // Its parts, as a saved order keeps them.
    const std::vector<std::uint32_t>& ascending() const { return ascending_; }
    const std::vector<std::uint64_t>& groupStarts() const { return groupStarts_; }
    std::size_t filled() const { return filled_; }
    // An order read back from its parts: nullopt unless they are an order of every row, each once.
    static std::optional<ColumnOrder> fromParts(std::vector<std::uint32_t> ascending,
                                                std::vector<std::uint64_t> groupStarts, std::size_t filled);

private:
    bool startsGroup(std::size_t position) const {
        return (groupStarts_[position / 64] >> (position % 64)) & 1U;
    }

    std::vector<std::uint32_t> ascending_;
    std::vector<std::uint64_t> groupStarts_;  // a bit per position of ascending_ that starts a group
    std::size_t filled_ = 0;                  // rows with a value; the empty ones follow them
};

}  // namespace lumaref
