#include "filter/filter.h"

#include <numeric>

#include "filter/filter_eval.h"
#include "filter/filter_indexed.h"
#include "filter/filter_narrowing.h"
#include "filter/filter_node.h"
#include "filter/filter_parser.h"
#include "filter/filter_scan.h"

namespace lumaref {

namespace {

// Rows kept with their cells are at most one in this many of the table's: a larger result is narrowed
// by a scan of the whole column, read in order.
constexpr std::size_t kRowsWorthCells = 8;

// A word searched for: "field Like '*word*'" on a text column.
const Comparison* wordSearch(const FilterNode& node) {
    if (node.kind != FilterNode::Kind::Compare) return nullptr;
    const Comparison& c = node.compare;
    if (c.op != CompareOp::Like || c.kind != FieldKind::Text || !c.pattern.isContains() ||
        c.pattern.needle().empty())
        return nullptr;
    return &c;
}

// The last word search among the conditions every passing row meets.
const Comparison* lastWordSearch(const FilterNode& root) {
    if (root.kind != FilterNode::Kind::And) return wordSearch(root);
    for (auto child = root.children.rbegin(); child != root.children.rend(); ++child)
        if (const Comparison* search = wordSearch(**child)) return search;
    return nullptr;
}

}  // namespace

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
                                      const ResultCells* widerCells, std::vector<std::uint32_t>& rows,
                                      std::shared_ptr<const ResultCells>& cells) const {
    Narrowing narrowing;
    if (wider.root_ == nullptr)
        narrowing = {true, root_.get()};  // every row is a candidate: this whole filter is the change
    else if (root_ != nullptr)
        narrowing = findNarrowing(*root_, *wider.root_);
    const Comparison* search = narrowing.changed != nullptr ? wordSearch(*narrowing.changed) : nullptr;
    if (search != nullptr && widerCells != nullptr && widerCells->column == search->column &&
        widerCells->cells.rows() == widerRows.size()) {
        std::vector<std::uint32_t> places;
        scanContains(widerCells->cells, search->pattern.needle(), places);
        rows.clear();
        rows.reserve(places.size());
        for (const std::uint32_t place : places) rows.push_back(widerRows[place]);
        const Comparison* kept = lastWordSearch(*root_);
        cells = kept != nullptr && kept->column == search->column ? pickCells(*widerCells, places)
                                                                  : searchedCells(table, rows);
        return;
    }
    if (!narrowing.narrows) {
        evaluate(table, rows);
    } else if (narrowing.changed == nullptr) {
        rows = widerRows;
    } else {
        evaluateColumnwiseWithin(*narrowing.changed, table, widerRows, rows);
    }
    cells = searchedCells(table, rows);
}

std::shared_ptr<const ResultCells> CompiledFilter::searchedCells(
    const Table& table, const std::vector<std::uint32_t>& rows) const {
    const Comparison* search = root_ != nullptr ? lastWordSearch(*root_) : nullptr;
    if (search == nullptr || rows.size() * kRowsWorthCells > table.rowCount()) return nullptr;
    return gatherCells(table, search->column, rows);
}

}  // namespace lumaref
