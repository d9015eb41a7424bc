#include "db/visible_rows.h"

#include <algorithm>
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

void VisibleRows::truncate(std::size_t rows) {
    kept_.clear();
    total_ = std::min(total_, rows);
    if (all_) return;
    if (rows_.use_count() > 1) rows_ = std::make_shared<Rows>(*rows_);
    std::erase_if(*rows_, [rows](std::uint32_t row) { return row >= rows; });
}

void VisibleRows::append(std::uint32_t row) {
    ++total_;
    if (all_) return;
    // Kept results still share the rows: they must not see the new one.
    if (rows_.use_count() > 1) rows_ = std::make_shared<Rows>(*rows_);
    rows_->push_back(row);
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
