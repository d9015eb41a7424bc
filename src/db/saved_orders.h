#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "db/column_order.h"

namespace lumaref {

// The orders of large columns, kept in files between sessions, so that a sort a user's layout
// restores at start is read rather than made again.
//
// A file is named by a fingerprint of all an order depends on: every text of the column, the rules
// of the sort and the Unicode tables of its folding. A column whose fingerprint differs (another
// program changed one title, a newer program) finds no file, and a file that is damaged or is not
// an order of every row is never used: the order is then made as always.
class SavedOrders {
public:
    static constexpr std::size_t kRowsWorthSaving = 100'000;

    // Files go to `folder` (made when first needed). Columns of fewer than `minimumRows` rows are
    // sorted in less time than a file takes to read: they are neither read nor saved.
    explicit SavedOrders(std::string folder, std::size_t minimumRows = kRowsWorthSaving);

    // The column's order: read when a file matches it, else made, and saved when the column is large.
    ColumnOrder orderOf(const Column& column) const;

    // The order saved for exactly this column, if any.
    std::optional<ColumnOrder> read(const Column& column) const;
    // Saves `order`, made from `column`. A folder that cannot be written keeps nothing, silently: the
    // files only spare time. The oldest files go once more than a few are kept.
    void save(const Column& column, const ColumnOrder& order) const;

private:
    std::optional<ColumnOrder> readFile(std::uint64_t fingerprint, std::size_t rows) const;
    void saveFile(std::uint64_t fingerprint, const ColumnOrder& order) const;
    std::string pathFor(std::uint64_t fingerprint) const;
    void dropOldest() const;

    std::string folder_;
    std::size_t minimumRows_;
};

}  // namespace lumaref
