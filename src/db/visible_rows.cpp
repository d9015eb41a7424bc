#include "db/visible_rows.h"

#include "filter/filter.h"

namespace lumaref {

namespace {

constexpr std::size_t kKeptFilters = 4;

}  // namespace

void VisibleRows::showAll(std::size_t rows) {
    all_ = true;
    total_ = rows;
    rows_.clear();
}

// Evaluates first and commits after.
void VisibleRows::filter(const std::string& text, const Table& table) {
    total_ = table.rowCount();
    for (const auto& kept : kept_) {
        if (kept.version == version_ && kept.text == text) {
            all_ = kept.all;
            rows_ = kept.rows;
            return;
        }
    }
    const CompiledFilter compiled = CompiledFilter::compile(text, table);
    std::vector<std::uint32_t> rows;
    const bool all = compiled.matchesAll();
    if (!all) compiled.evaluate(table, rows);
    if (kept_.size() >= kKeptFilters) kept_.erase(kept_.begin());
    kept_.push_back({text, version_, all, rows});
    all_ = all;
    rows_ = std::move(rows);
}

void VisibleRows::append(std::uint32_t row) {
    ++total_;
    if (!all_) rows_.push_back(row);
}

std::size_t VisibleRows::memoryBytes() const {
    std::size_t bytes = rows_.capacity() * sizeof(std::uint32_t);
    for (const auto& kept : kept_) bytes += kept.rows.capacity() * sizeof(std::uint32_t) + kept.text.size();
    return bytes;
}

}  // namespace lumaref
