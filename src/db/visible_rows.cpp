#include "db/visible_rows.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace lumaref {

void VisibleRows::showAll(const Table& table) {
    total_ = table.rowCount();
    show(nullptr, nullptr, table);
}

void VisibleRows::show(const std::shared_ptr<Rows>& rows, Kept* kept, const Table& table) {
    all_ = rows == nullptr;
    rows_ = all_ ? std::make_shared<Rows>() : rows;
    showSorted(kept, table);
}

void VisibleRows::showSorted(Kept* kept, const Table& table) {
    shown_.reset();
    if (!sort_) return;
    prepareSort(table);
    if (sortedAll_ == nullptr) return;  // the snapshot has no such column (closed)
    if (all_) {
        shown_ = sortedAll_;
        return;
    }
    if (kept != nullptr && kept->sorted != nullptr && kept->sortedFor == sortNumber_) {
        shown_ = kept->sorted;
        return;
    }
    auto sorted = std::make_shared<Rows>();
    pickSorted(*rows_, *sorted);
    if (kept != nullptr) {
        kept->sorted = sorted;
        kept->sortedFor = sortNumber_;
    }
    shown_ = std::move(sorted);
}

void VisibleRows::prepareSort(const Table& table) {
    const auto column = static_cast<std::size_t>(sort_->column);
    if (column >= table.columns.size()) {
        order_.reset();
        sortedAll_.reset();
        return;
    }
    if (!order_ || sortStale_ || order_->rows() != table.rowCount()) {
        order_ = ColumnOrder::build(table.columns[column]);
        sortStale_ = false;
        arranged_ = false;
    }
    if (arranged_ && sortedAll_ != nullptr) return;
    auto all = std::make_shared<Rows>();
    order_->arrange(sort_->direction, *all);
    rank_.resize(all->size());
    for (std::size_t place = 0; place < all->size(); ++place)
        rank_[(*all)[place]] = static_cast<std::uint32_t>(place);
    sortedAll_ = std::move(all);
    arranged_ = true;
    ++sortNumber_;
}

void VisibleRows::pickSorted(const Rows& rows, Rows& sorted) {
    const std::size_t places = sortedAll_->size();
    marks_.assign((places + 63) / 64, 0);
    for (const std::uint32_t row : rows) {
        const std::uint32_t place = rank_[row];
        marks_[place / 64] |= std::uint64_t{1} << (place % 64);
    }
    sorted.clear();
    sorted.reserve(rows.size());
    for (std::size_t word = 0; word < marks_.size(); ++word) {
        for (std::uint64_t bits = marks_[word]; bits != 0; bits &= bits - 1)
            sorted.push_back((*sortedAll_)[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))]);
    }
}

void VisibleRows::keepSorted(const Rows& wider, const Rows& rows, Rows& sorted) {
    marks_.assign((rank_.size() + 63) / 64, 0);
    for (const std::uint32_t row : rows) marks_[row / 64] |= std::uint64_t{1} << (row % 64);
    sorted.clear();
    sorted.reserve(rows.size());
    for (const std::uint32_t row : wider) {
        if ((marks_[row / 64] >> (row % 64)) & 1U) sorted.push_back(row);
    }
}

void VisibleRows::setSort(const std::optional<RowSort>& sort, const Table& table) {
    if (sort == sort_) return;
    if (!sort || !sort_ || sort->column != sort_->column) order_.reset();
    sort_ = sort;
    arranged_ = false;
    sortedAll_.reset();
    if (!sort_) {
        rank_ = Rows();
        marks_ = std::vector<std::uint64_t>();
        for (Kept& kept : kept_) kept.sorted.reset();
    }
    showSorted(nullptr, table);
}

const VisibleRows::Kept* VisibleRows::narrowingBase(const CompiledFilter& compiled) const {
    const Kept* base = nullptr;
    for (const Kept& kept : kept_) {
        if (kept.rows == nullptr || !compiled.narrows(kept.compiled)) continue;
        if (base == nullptr || kept.rows->size() < base->rows->size()) base = &kept;
    }
    return base;
}

// Evaluates first and commits after.
void VisibleRows::filter(const std::string& text, const Table& table) {
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->text != text) continue;
        total_ = table.rowCount();
        show(it->rows, &*it, table);
        std::rotate(it, it + 1, kept_.end());  // now the most recently used
        return;
    }
    CompiledFilter compiled = CompiledFilter::compile(text, table);
    std::shared_ptr<Rows> rows;
    std::shared_ptr<const ResultCells> cells;
    std::shared_ptr<Rows> sorted;
    if (!compiled.matchesAll()) {
        rows = std::make_shared<Rows>();
        if (const Kept* base = narrowingBase(compiled)) {
            compiled.evaluateNarrowed(table, base->compiled, *base->rows, base->cells.get(), *rows, cells);
            // Typed on under a sort: the narrower rows are the wider ones' sorted rows, less some.
            if (sort_ && base->sorted != nullptr && base->sortedFor == sortNumber_ && !sortStale_) {
                sorted = std::make_shared<Rows>();
                keepSorted(*base->sorted, *rows, *sorted);
            }
        } else {
            compiled.evaluate(table, *rows);
            cells = compiled.searchedCells(table, *rows);
        }
    }
    Kept entry{text,
               std::move(compiled),
               std::move(rows),
               std::move(cells),
               sorted,
               sorted != nullptr ? sortNumber_ : 0};
    if (kept_.size() >= kKeptResults) kept_.erase(kept_.begin());
    kept_.push_back(std::move(entry));
    total_ = table.rowCount();
    show(kept_.back().rows, &kept_.back(), table);
}

void VisibleRows::truncate(std::size_t rows) {
    kept_.clear();
    sortStale_ = true;  // the sort's order is made again, of the rows that stay
    total_ = std::min(total_, rows);
    // Shared with kept results or the sort's order: copied before rows go from it.
    const auto dropGone = [rows](std::shared_ptr<Rows>& list) {
        if (list.use_count() > 1) list = std::make_shared<Rows>(*list);
        std::erase_if(*list, [rows](std::uint32_t row) { return row >= rows; });
    };
    if (shown_ != nullptr) dropGone(shown_);
    if (!all_) dropGone(rows_);
}

void VisibleRows::append(std::uint32_t row) {
    ++total_;
    if (shown_ != nullptr) {
        // Kept results and the sort still share the rows: they must not see the new one.
        if (shown_.use_count() > 1) shown_ = std::make_shared<Rows>(*shown_);
        shown_->push_back(row);
    }
    if (all_) return;
    if (rows_.use_count() > 1) rows_ = std::make_shared<Rows>(*rows_);
    rows_->push_back(row);
}

std::size_t VisibleRows::memoryBytes() const {
    const auto bytesOf = [](const std::shared_ptr<Rows>& rows) {
        return rows != nullptr ? rows->capacity() * sizeof(std::uint32_t) : 0;
    };
    std::size_t bytes = 0;
    if (!all_ && rows_.use_count() == 1) bytes += bytesOf(rows_);
    for (const auto& kept : kept_) {
        bytes += kept.text.size() + bytesOf(kept.rows) + bytesOf(kept.sorted);
        if (kept.cells != nullptr) bytes += kept.cells->memoryBytes();
    }
    if (order_) bytes += order_->memoryBytes();
    bytes += bytesOf(sortedAll_) + rank_.capacity() * sizeof(std::uint32_t) +
             marks_.capacity() * sizeof(std::uint64_t);
    if (shown_ != nullptr && shown_ != sortedAll_ && shown_.use_count() == 1) bytes += bytesOf(shown_);
    return bytes;
}

}  // namespace lumaref
