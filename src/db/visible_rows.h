#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "filter/column.h"

namespace lumaref {

// The rows a record set shows, by position: every row of its snapshot in order, or the rows its filter
// selected. The last few filter results are kept until the snapshot changes, because the search
// handler applies the selection filter again on every keystroke.
class VisibleRows {
public:
    std::size_t count() const { return all_ ? total_ : rows_.size(); }
    std::size_t row(int position) const {
        return all_ ? static_cast<std::size_t>(position) : rows_[static_cast<std::size_t>(position)];
    }

    // Every one of the snapshot's `rows` rows.
    void showAll(std::size_t rows);
    // The rows of `table` that `text` selects. A rejected text throws Error and leaves the rows shown
    // as they were.
    void filter(const std::string& text, const Table& table);
    // A row posted to the end of the snapshot: shown last until the filter is applied again.
    void append(std::uint32_t row);
    // The snapshot was loaded or posted to: kept results no longer hold.
    void snapshotChanged() { ++version_; }

    std::size_t memoryBytes() const;

private:
    struct Kept {
        std::string text;
        std::uint64_t version;
        bool all;
        std::vector<std::uint32_t> rows;
    };

    bool all_ = true;  // rows_ unused: every row is shown in snapshot order
    std::size_t total_ = 0;
    std::vector<std::uint32_t> rows_;
    std::vector<Kept> kept_;
    std::uint64_t version_ = 0;
};

}  // namespace lumaref
