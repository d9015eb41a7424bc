#include "db/visible_rows.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace lumaref {

void VisibleRows::showAll(std::size_t rows) {
    all_ = true;
    total_ = rows;
    rows_ = std::make_shared<Rows>();
}

void VisibleRows::show(const std::shared_ptr<Rows>& rows) {
    all_ = rows == nullptr;
    rows_ = all_ ? std::make_shared<Rows>() : rows;
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
        show(it->rows);
        std::rotate(it, it + 1, kept_.end());  // now the most recently used
        return;
    }
    CompiledFilter compiled = CompiledFilter::compile(text, table);
    std::shared_ptr<Rows> rows;
    if (!compiled.matchesAll()) {
        rows = std::make_shared<Rows>();
        if (const Kept* base = narrowingBase(compiled)) {
            compiled.evaluateNarrowed(table, base->compiled, *base->rows, *rows);
        } else {
            compiled.evaluate(table, *rows);
        }
    }
    Kept entry{text, std::move(compiled), std::move(rows)};
    if (kept_.size() >= kKeptResults) kept_.erase(kept_.begin());
    kept_.push_back(std::move(entry));
    total_ = table.rowCount();
    show(kept_.back().rows);
}

void VisibleRows::append(std::uint32_t row) {
    ++total_;
    if (all_) return;
    // Kept results still share the rows: they must not see the new one.
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

// The touched rows alone are filtered, as a table of their own: no folded copy or index of the whole
// snapshot is built for them, and the rows shown move by as many as changed.
bool VisibleRows::refresh(const std::string& text, const Table& table,
                          const std::vector<std::uint32_t>& touched) {
    const std::size_t before = total_;
    total_ = table.rowCount();
    if (all_) return total_ != before;
    const Table part = rowsOf(table, touched);
    std::vector<std::uint32_t> passing;
    CompiledFilter::compile(text, part).evaluateByScan(part, passing);
    for (std::uint32_t& row : passing) row = touched[row];
    // Which touched rows come or go; the rows shown are rebuilt only when some do.
    std::vector<std::uint32_t> coming;
    std::vector<std::uint32_t> going;
    auto next = passing.begin();
    for (const std::uint32_t row : touched) {
        const bool passes = next != passing.end() && *next == row;
        if (passes) ++next;
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
    if (all_) return row < total_ ? static_cast<int>(row) : -1;
    const auto at = std::lower_bound(rows_->begin(), rows_->end(), row);
    return at != rows_->end() && *at == row ? static_cast<int>(at - rows_->begin()) : -1;
}

std::size_t VisibleRows::memoryBytes() const {
    std::size_t bytes = 0;
    if (!all_ && rows_.use_count() == 1) bytes += rows_->capacity() * sizeof(std::uint32_t);
    for (const auto& kept : kept_) {
        bytes += kept.text.size();
        if (kept.rows != nullptr) bytes += kept.rows->capacity() * sizeof(std::uint32_t);
    }
    return bytes;
}

}  // namespace lumaref
