#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "filter/column.h"
#include "filter/filter.h"

namespace lumaref {

// The rows a record set shows, by position: every row of its snapshot in order, or the rows its filter
// selected. The last few filter results are kept until the snapshot changes: the search handler applies
// the selection filter again on every keystroke, Backspace returns to a text just typed, and a text
// typed on is looked for among the rows of the one before (see CompiledFilter::evaluateNarrowed).
class VisibleRows {
public:
    // How many filter results are kept: enough for a word typed letter by letter beside the selection
    // filter it is searched within.
    static constexpr std::size_t kKeptResults = 8;

    std::size_t count() const { return all_ ? total_ : rows_->size(); }
    std::size_t row(int position) const {
        return all_ ? static_cast<std::size_t>(position) : (*rows_)[static_cast<std::size_t>(position)];
    }

    // Every one of the snapshot's `rows` rows.
    void showAll(std::size_t rows);
    // The rows of `table` that `text` selects. A rejected text throws Error and leaves the rows shown
    // as they were.
    void filter(const std::string& text, const Table& table);
    // A row posted to the end of the snapshot: shown last until the filter is applied again.
    void append(std::uint32_t row);
    // Other programs changed the rows `touched` (ascending) of `table`, some of them new at its end:
    // those that `text`, the filter applied last, now selects are shown, in their place, and only
    // those. Returns whether the rows shown are other rows than before.
    bool refresh(const std::string& text, const Table& table, const std::vector<std::uint32_t>& touched);
    // Where `row` of the snapshot is shown, or -1.
    int positionOf(std::size_t row) const;
    // The snapshot was loaded or posted to: kept results no longer hold.
    void snapshotChanged() { kept_.clear(); }

    std::size_t memoryBytes() const;

private:
    using Rows = std::vector<std::uint32_t>;

    struct Kept {
        std::string text;
        CompiledFilter compiled;
        std::shared_ptr<Rows> rows;  // null when every row passes
    };

    void show(const std::shared_ptr<Rows>& rows);
    // The kept result with the fewest rows that holds every row `compiled` selects, or null.
    const Kept* narrowingBase(const CompiledFilter& compiled) const;

    bool all_ = true;  // rows_ unused: every row is shown in snapshot order
    std::size_t total_ = 0;
    // Shared with the kept result it came from; copied before an append changes it.
    std::shared_ptr<Rows> rows_ = std::make_shared<Rows>();
    std::vector<Kept> kept_;  // least recently used first
};

}  // namespace lumaref
