#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/column_order.h"
#include "db/saved_orders.h"
#include "filter/column.h"
#include "filter/filter.h"

namespace lumaref {

// The order rows are shown in: by the values of one column of the snapshot.
struct RowSort {
    int column = 0;
    SortDirection direction = SortDirection::Ascending;
    bool operator==(const RowSort&) const = default;
};

// The rows a record set shows, by position: every row of its snapshot, or the rows its filter selected,
// in stored order or sorted by a column. The last few filter results are kept until the snapshot
// changes: the search handler applies the selection filter again on every keystroke, Backspace returns
// to a text just typed, and a text typed on is looked for among the rows of the one before (see
// CompiledFilter::evaluateNarrowed).
//
// A sort orders every row of the snapshot once; a filter's rows are then shown in that order by picking
// them out of it, never by sorting them again. Posts leave the rows where they are shown (a batch job
// walking them meets each row once); the next filter or sort orders them by their new values.
class VisibleRows {
public:
    // How many filter results are kept: enough for a word typed letter by letter beside the selection
    // filter it is searched within.
    static constexpr std::size_t kKeptResults = 8;

    std::size_t count() const {
        if (shown_ != nullptr) return shown_->size();
        return all_ ? total_ : rows_->size();
    }
    std::size_t row(int position) const {
        const auto at = static_cast<std::size_t>(position);
        if (shown_ != nullptr) return (*shown_)[at];
        return all_ ? at : (*rows_)[at];
    }

    // Every row of `table`.
    void showAll(const Table& table);
    // The rows of `table` that `text` selects. A rejected text throws Error and leaves the rows shown
    // as they were.
    void filter(const std::string& text, const Table& table);
    // A row posted to the end of the snapshot: shown last until the filter is applied again.
    void append(std::uint32_t row);
    // The snapshot lost its rows from `rows` on (appends that were never stored).
    void truncate(std::size_t rows);
    // The snapshot was loaded or posted to: kept results and the sort's keys no longer hold.
    void snapshotChanged() {
        kept_.clear();
        sortStale_ = true;
    }

    // Other programs changed the rows `touched` (ascending) of `table`, some of them new at its end:
    // those that `text`, the filter applied last, now selects are shown, in their place, and only
    // those. Under a sort, the touched rows take their places by their new values. Returns whether the
    // rows shown are other rows, or in another order, than before.
    bool refresh(const std::string& text, const Table& table, const std::vector<std::uint32_t>& touched);
    // Where `row` of the snapshot is shown, or -1.
    int positionOf(std::size_t row) const;

    // Where orders made for a new sort are looked for first and kept (null: made every time).
    void keepOrdersIn(std::shared_ptr<const SavedOrders> orders) { orders_ = std::move(orders); }
    // The same rows, from now on shown in the order of a column of `table`, or (nullopt) in stored order.
    // With a `key` (a column of values made beside the snapshot, one per row of it), in the order of its
    // values, and the sort's column only names it for the caller.
    void setSort(const std::optional<RowSort>& sort, const Table& table,
                 std::shared_ptr<const Column> key = nullptr);
    const std::optional<RowSort>& sort() const { return sort_; }
    const std::shared_ptr<const Column>& sortKey() const { return key_; }

    // Rows shown whatever the filter says: a flag per row of the snapshot, rows past its end shown; null
    // for every row. It takes effect at the next filter or showAll.
    void setMask(std::shared_ptr<const std::vector<bool>> mask) {
        mask_ = std::move(mask);
        maskedAll_.reset();
    }
    bool masked() const { return mask_ != nullptr; }

    std::size_t memoryBytes() const;

private:
    using Rows = std::vector<std::uint32_t>;

    struct Kept {
        std::string text;
        CompiledFilter compiled;
        std::shared_ptr<Rows> rows;                // null when every row passes
        std::shared_ptr<const ResultCells> cells;  // the searched cells of rows, or null
        std::shared_ptr<Rows> sorted;              // the rows in the order of the sort numbered sortedFor
        std::uint64_t sortedFor = 0;
    };

    // `rows` (ascending; null for all) as the rows shown; `kept` holds them, and their sorted order.
    void show(const std::shared_ptr<Rows>& rows, Kept* kept, const Table& table);
    void showSorted(Kept* kept, const Table& table);
    // The sort's order of every row, made again when the snapshot or the sort changed.
    void prepareSort(const Table& table);
    // Rows (ascending) in the order of sortedAll_: marked by their places in it, then read off in order.
    void pickSorted(const Rows& rows, Rows& sorted);
    // Rows (ascending), all among `wider` (in the sort's order), in that order: `wider` walked once.
    void keepSorted(const Rows& wider, const Rows& rows, Rows& sorted);
    // The filtered rows (ascending) after `touched` rows changed: whether any came or went.
    bool refreshFiltered(const std::string& text, const Table& table,
                         const std::vector<std::uint32_t>& touched);
    // The kept result with the fewest rows that holds every row `compiled` selects, or null.
    const Kept* narrowingBase(const CompiledFilter& compiled) const;

    bool all_ = true;  // rows_ unused: every row is shown
    std::size_t total_ = 0;
    // Shared with the kept result it came from; copied before an append changes it.
    std::shared_ptr<Rows> rows_ = std::make_shared<Rows>();
    std::vector<Kept> kept_;  // least recently used first

    std::optional<RowSort> sort_;
    std::shared_ptr<const Column> key_;
    std::shared_ptr<const SavedOrders> orders_;
    std::optional<ColumnOrder> order_;  // of sort_'s column, both directions
    bool sortStale_ = false;            // the snapshot changed since order_ was built
    bool arranged_ = false;             // sortedAll_ and rank_ follow sort_
    std::uint64_t sortNumber_ = 0;      // counts arrangements, so kept sorted rows can tell theirs
    std::shared_ptr<Rows> sortedAll_;   // every row in the order of sort_
    Rows rank_;                         // each row's place in sortedAll_
    std::vector<std::uint64_t> marks_;  // a bit per place or per row, for pickSorted and keepSorted
    // The rows in the order shown, while a sort holds; shared with sortedAll_ or a kept result, and
    // copied before an append changes it.
    std::shared_ptr<Rows> shown_;
    std::shared_ptr<const std::vector<bool>> mask_;
    std::shared_ptr<Rows> maskedAll_;  // every row the mask shows of maskedAllFor_ rows, made once
    std::size_t maskedAllFor_ = 0;
};

}  // namespace lumaref
