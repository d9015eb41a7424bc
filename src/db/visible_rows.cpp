#include "db/visible_rows.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <utility>

namespace lumaref {

void VisibleRows::showAll(const Table& table) {
    total_ = table.rowCount();
    show(nullptr, nullptr, table);
}

void VisibleRows::show(const std::shared_ptr<Rows>& rows, Kept* kept, const Table& table) {
    if (mask_ != nullptr) {
        // The kept result stays the filter's own: the mask is applied to a copy.
        auto masked = std::make_shared<Rows>();
        const auto keep = [this, &masked](std::uint32_t row) {
            if (row >= mask_->size() || (*mask_)[row]) masked->push_back(row);
        };
        if (rows == nullptr && maskedAll_ != nullptr && maskedAllFor_ == total_) {
            masked = maskedAll_;
        } else if (rows == nullptr) {
            for (std::size_t row = 0; row < total_; ++row) keep(static_cast<std::uint32_t>(row));
            maskedAll_ = masked;
            maskedAllFor_ = total_;
        } else {
            for (const std::uint32_t row : *rows) keep(row);
        }
        all_ = false;
        rows_ = std::move(masked);
        showSorted(nullptr, table);
        return;
    }
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
    const Column* values = key_ != nullptr                 ? key_.get()
                           : column < table.columns.size() ? &table.columns[column]
                                                           : nullptr;
    // A key made before rows were appended no longer orders every row: stored order until it is made again.
    if (values == nullptr || values->size() != table.rowCount()) {
        order_.reset();
        sortedAll_.reset();
        return;
    }
    if (!order_ || sortStale_ || order_->rows() != table.rowCount()) {
        // A new sort (one a layout restores at start) may have been made before; an order made again
        // after posts is not worth a file each time.
        order_ = orders_ != nullptr && !order_ ? orders_->orderOf(*values) : ColumnOrder::build(*values);
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

void VisibleRows::setSort(const std::optional<RowSort>& sort, const Table& table,
                          std::shared_ptr<const Column> key) {
    if (!sort) key.reset();
    if (sort == sort_ && key == key_) return;
    if (!sort || !sort_ || sort->column != sort_->column || key != key_) order_.reset();
    sort_ = sort;
    key_ = std::move(key);
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

namespace {

// Up to this many rows coming or going are moved in place; more, and the rows shown are merged anew.
constexpr std::size_t kRowsMovedInPlace = 64;

// The cells of `rows` of `table`, as a table of their own.
Table rowsOf(const Table& table, const std::vector<std::uint32_t>& rows) {
    Table part;
    for (const Column& column : table.columns) {
        Column& copy = part.columns.emplace_back(column.info());
        for (const std::uint32_t row : rows) {
            if (column.isNull(row)) {
                copy.appendNull();
            } else if (column.kind() == FieldKind::Boolean) {
                copy.appendBool(*column.boolean(row));
            } else {
                copy.appendText(column.text(row));
            }
        }
    }
    return part;
}

}  // namespace

bool VisibleRows::refresh(const std::string& text, const Table& table,
                          const std::vector<std::uint32_t>& touched) {
    const std::size_t before = total_;
    total_ = table.rowCount();
    bool reshaped = all_ ? total_ != before : refreshFiltered(text, table, touched);
    if (sort_ && (reshaped || !touched.empty())) {
        // A touched row's new value may move it in the sort's order.
        sortStale_ = true;
        showSorted(nullptr, table);
        reshaped = true;
    }
    return reshaped;
}

// The touched rows alone are filtered, as a table of their own: no folded copy or index of the whole
// snapshot is built for them, and the rows shown move by as many as changed.
bool VisibleRows::refreshFiltered(const std::string& text, const Table& table,
                                  const std::vector<std::uint32_t>& touched) {
    const Table part = rowsOf(table, touched);
    std::vector<std::uint32_t> passing;
    CompiledFilter::compile(text, part).evaluateByScan(part, passing);
    for (std::uint32_t& row : passing) row = touched[row];
    // Which touched rows come or go; the rows shown are rebuilt only when some do.
    std::vector<std::uint32_t> coming;
    std::vector<std::uint32_t> going;
    auto next = passing.begin();
    for (const std::uint32_t row : touched) {
        bool passes = next != passing.end() && *next == row;
        if (passes) ++next;
        passes = passes && (mask_ == nullptr || row >= mask_->size() || (*mask_)[row]);
        const bool shown = std::binary_search(rows_->begin(), rows_->end(), row);
        if (passes && !shown) coming.push_back(row);
        if (!passes && shown) going.push_back(row);
    }
    if (coming.empty() && going.empty()) return false;
    if (rows_.use_count() > 1) rows_ = std::make_shared<Rows>(*rows_);
    Rows& rows = *rows_;
    if (coming.size() + going.size() <= kRowsMovedInPlace) {
        for (const std::uint32_t row : going) rows.erase(std::lower_bound(rows.begin(), rows.end(), row));
        for (const std::uint32_t row : coming)
            rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
    } else {
        Rows kept;
        kept.reserve(rows.size() + coming.size());
        std::set_difference(rows.begin(), rows.end(), going.begin(), going.end(), std::back_inserter(kept));
        rows.clear();
        std::set_union(kept.begin(), kept.end(), coming.begin(), coming.end(), std::back_inserter(rows));
    }
    return true;
}

int VisibleRows::positionOf(std::size_t row) const {
    if (shown_ != nullptr) {
        // The rows shown keep the sort's order, so their places in it rise; rows posted since the sort
        // was made follow at the end.
        if (row < rank_.size()) {
            const auto at = std::lower_bound(shown_->begin(), shown_->end(), rank_[row],
                                             [this](std::uint32_t shown, std::uint32_t place) {
                                                 return shown < rank_.size() && rank_[shown] < place;
                                             });
            if (at != shown_->end() && *at == row) return static_cast<int>(at - shown_->begin());
        }
        const auto at = std::find(shown_->begin(), shown_->end(), row);
        return at != shown_->end() ? static_cast<int>(at - shown_->begin()) : -1;
    }
    if (all_) return row < total_ ? static_cast<int>(row) : -1;
    const auto at = std::lower_bound(rows_->begin(), rows_->end(), row);
    return at != rows_->end() && *at == row ? static_cast<int>(at - rows_->begin()) : -1;
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
