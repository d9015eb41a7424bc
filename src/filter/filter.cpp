#include "filter/filter.h"

#include <numeric>

#include "filter/filter_eval.h"
#include "filter/filter_indexed.h"
#include "filter/filter_narrowing.h"
#include "filter/filter_node.h"
#include "filter/filter_parser.h"

namespace lumaref {

CompiledFilter::CompiledFilter() = default;
CompiledFilter::~CompiledFilter() = default;
CompiledFilter::CompiledFilter(CompiledFilter&&) noexcept = default;
CompiledFilter& CompiledFilter::operator=(CompiledFilter&&) noexcept = default;

CompiledFilter CompiledFilter::compile(std::string_view criteria, const Table& table) {
    CompiledFilter filter;
    filter.root_ = parseFilter(criteria, table);
    filter.indexed_ = filter.root_ != nullptr && answerableByIndex(*filter.root_);
    return filter;
}

bool CompiledFilter::matchesAll() const { return root_ == nullptr; }

void CompiledFilter::evaluate(const Table& table, std::vector<std::uint32_t>& rows) const {
    if (indexed_) {
        evaluateIndexed(*root_, table, rows);
        return;
    }
    evaluateByScan(table, rows);
}

void CompiledFilter::evaluateByScan(const Table& table, std::vector<std::uint32_t>& rows) const {
    if (root_ == nullptr) {
        rows.resize(table.rowCount());
        std::iota(rows.begin(), rows.end(), std::uint32_t{0});
        return;
    }
    evaluateColumnwise(*root_, table, rows);
}

bool CompiledFilter::narrows(const CompiledFilter& wider) const {
    if (wider.root_ == nullptr) return true;
    return root_ != nullptr && filterNarrows(*root_, *wider.root_);
}

void CompiledFilter::evaluateWithin(const Table& table, const std::vector<std::uint32_t>& candidates,
                                    std::vector<std::uint32_t>& rows) const {
    if (root_ == nullptr) {
        rows = candidates;
        return;
    }
    evaluateColumnwiseWithin(*root_, table, candidates, rows);
}

}  // namespace lumaref
