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
    return root_ != nullptr && findNarrowing(*root_, *wider.root_).narrows;
}

void CompiledFilter::evaluateNarrowed(const Table& table, const CompiledFilter& wider,
                                      const std::vector<std::uint32_t>& widerRows,
                                      std::vector<std::uint32_t>& rows) const {
    Narrowing narrowing;
    if (wider.root_ == nullptr)
        narrowing = {true, root_.get()};  // every row is a candidate: this whole filter is the change
    else if (root_ != nullptr)
        narrowing = findNarrowing(*root_, *wider.root_);
    if (!narrowing.narrows) {
        evaluate(table, rows);
    } else if (narrowing.changed == nullptr) {
        rows = widerRows;
    } else {
        evaluateColumnwiseWithin(*narrowing.changed, table, widerRows, rows);
    }
}

}  // namespace lumaref
