#include "filter/filter_eval.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <optional>
#include <string_view>
#include <utility>

#include "filter/filter_scan.h"
#include "filter/substring_search.h"
#include "filter/two_thread_scan.h"
#include "text/error.h"
#include "text/number_text.h"
#include "text/text_fold.h"

namespace lumaref {
namespace {

using Rows = std::vector<std::uint32_t>;

// Testing the candidates one by one beats a full scan (and intersecting) while they are fewer
// than one row in this many.
constexpr std::size_t kCandidateRatio = 8;
// Rows tested one by one are shared with a second thread from this many on.
constexpr std::size_t kTestsWorthSplitting = 32'768;
// How far ahead of the candidate being tested its successors' offsets and bytes are fetched.
constexpr std::size_t kOffsetsAhead = 32;
constexpr std::size_t kBytesAhead = 16;

void allRows(std::size_t count, Rows& rows) {
    rows.resize(count);
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
}

// The rows in sorted but not in drop.
void removeRows(Rows& sorted, const Rows& drop) {
    Rows kept;
    kept.reserve(sorted.size());
    std::set_difference(sorted.begin(), sorted.end(), drop.begin(), drop.end(), std::back_inserter(kept));
    sorted.swap(kept);
}

void mergeRows(Rows& sorted, const Rows& add) {
    if (add.empty()) return;
    Rows merged;
    merged.reserve(sorted.size() + add.size());
    std::set_union(sorted.begin(), sorted.end(), add.begin(), add.end(), std::back_inserter(merged));
    sorted.swap(merged);
}

// One comparison against its column, with the folded copy it needs at hand.
class LeafEvaluator {
public:
    LeafEvaluator(const Comparison& c, const Table& table) : c_(c) {
        if (c.column < 0 || static_cast<std::size_t>(c.column) >= table.columns.size())
            throw Error(kFilterArgumentsError);
        column_ = &table.columns[static_cast<std::size_t>(c.column)];
        rows_ = column_->size();
        const bool nullTest = c.op == CompareOp::IsNull || c.op == CompareOp::IsNotNull;
        if (c.kind == FieldKind::Text && !nullTest)
            folded_ = &column_->folded(c.op == CompareOp::Like ? FoldMode::CaseAndAccents : FoldMode::Case);
    }

    bool test(std::size_t row) const {
        if (c_.op == CompareOp::IsNull) return column_->isNull(row);
        if (c_.op == CompareOp::IsNotNull) return !column_->isNull(row);
        switch (c_.kind) {
            case FieldKind::Boolean:
                return (column_->boolean(row).value_or(false) == c_.boolean) == (c_.op == CompareOp::Equal);
            case FieldKind::Integer:
            case FieldKind::Real:
                return testNumber(row);
            case FieldKind::Text:
                break;
        }
        return compareText(c_, cell(row));
    }

    // Whether scanAll() is quicker than testing every row on its own.
    bool scansFast() const {
        if (folded_ == nullptr) return false;
        if (c_.op == CompareOp::Equal || c_.op == CompareOp::NotEqual) return true;
        return c_.op == CompareOp::Like && !c_.pattern.anchoredAtStart();
    }

    void scanAll(Rows& rows) const {
        rows.clear();
        if (!scansFast()) {
            testEach(nullptr, rows);
            return;
        }
        const LikePattern& pattern = c_.pattern;
        if (c_.op == CompareOp::Like && pattern.matchesEverything()) {
            allRows(rows_, rows);
            return;
        }
        if (c_.op == CompareOp::Like && pattern.hasWildcard()) {
            scanContains(*folded_, pattern.needle(), rows);
            if (!pattern.isContains()) {
                std::erase_if(rows, [&](std::uint32_t row) { return !pattern.matches(cell(row)); });
            }
        } else {
            const std::string_view text = c_.op == CompareOp::Like ? pattern.pieces().front() : c_.text;
            scanEqual(*folded_, text, rows);
            if (c_.op == CompareOp::NotEqual) {
                Rows equal;
                equal.swap(rows);
                allRows(rows_, rows);
                removeRows(rows, equal);
            }
        }
        redecideOverrides(rows);
    }

    void scanCandidates(const Rows& candidates, Rows& rows) const {
        rows.clear();
        if (scansFast() && candidates.size() * kCandidateRatio >= rows_) {
            Rows all;
            scanAll(all);
            std::set_intersection(all.begin(), all.end(), candidates.begin(), candidates.end(),
                                  std::back_inserter(rows));
            return;
        }
        testEach(&candidates, rows);
    }

private:
    // Appends the rows passing test(), from candidates or (null) every row, ascending.
    void testEach(const Rows* candidates, Rows& rows) const {
        const std::size_t count = candidates != nullptr ? candidates->size() : rows_;
        const auto rowAt = [&](std::size_t i) {
            return candidates != nullptr ? (*candidates)[i] : static_cast<std::uint32_t>(i);
        };
        // A search typed into the window: each cell looked for the word in, without the general test.
        const bool contains = c_.op == CompareOp::Like && c_.pattern.isContains() && folded_ != nullptr &&
                              folded_->overrides.empty();
        scanOnTwoThreads(
            count, count >= kTestsWorthSplitting ? count / 2 : 0,
            [&](std::size_t first, std::size_t last, Rows& part) {
                if (contains) {
                    const std::string_view needle = c_.pattern.needle();
                    for (std::size_t i = first; i < last; ++i) {
                        if (candidates != nullptr) prefetchCells(*candidates, i, last);
                        if (findSubstring(cell(rowAt(i)), needle) != std::string_view::npos)
                            part.push_back(rowAt(i));
                    }
                    return;
                }
                for (std::size_t i = first; i < last; ++i) {
                    if (candidates != nullptr) prefetchCells(*candidates, i, last);
                    if (test(rowAt(i))) part.push_back(rowAt(i));
                }
            },
            rows);
    }

    // Candidates lie scattered over a column far larger than the caches, and each test waits on memory
    // twice, for the cell's offset and then for its bytes: asking for both a few rows ahead hides
    // most of that wait.
    void prefetchCells(const Rows& candidates, std::size_t i, std::size_t last) const {
        if (folded_ == nullptr) return;
        if (i + kOffsetsAhead < last) __builtin_prefetch(&folded_->offsets[candidates[i + kOffsetsAhead]]);
        if (i + kBytesAhead < last)
            __builtin_prefetch(folded_->arena.data() + folded_->offsets[candidates[i + kBytesAhead]]);
    }

    std::string_view cell(std::size_t row) const {
        if (folded_->overridden(row)) return folded_->overrides.find(static_cast<std::uint32_t>(row))->second;
        const std::uint32_t begin = folded_->offsets[row];
        return std::string_view(folded_->arena).substr(begin, folded_->offsets[row + 1] - begin);
    }

    bool testNumber(std::size_t row) const {
        if (c_.op == CompareOp::Like)
            return c_.pattern.matches(foldText(column_->text(row), FoldMode::CaseAndAccents));
        const std::optional<double> value =
            column_->isNull(row) ? std::nullopt : parseReal(column_->text(row), NumberBlanks::SpacesAndTabs);
        // No value equals nothing, yet differs from everything.
        if (!value) return c_.op == CompareOp::NotEqual;
        return compareNumber(c_.op, *value, c_.number);
    }

    // The arena bytes of edited rows are stale: take them out and decide them from their new text.
    void redecideOverrides(Rows& rows) const {
        if (folded_->overrides.empty()) return;
        Rows edited;
        Rows passing;
        for (const auto& entry : folded_->overrides)
            if (entry.first < rows_) edited.push_back(entry.first);
        std::sort(edited.begin(), edited.end());
        for (const std::uint32_t row : edited)
            if (test(row)) passing.push_back(row);
        removeRows(rows, edited);
        mergeRows(rows, passing);
    }

    const Comparison& c_;
    const Column* column_ = nullptr;
    const FoldedColumn* folded_ = nullptr;
    std::size_t rows_ = 0;
};

// candidates == nullptr stands for every row; otherwise only candidates (ascending) are considered.
void evaluate(const FilterNode& node, const Table& table, const Rows* candidates, Rows& rows) {
    switch (node.kind) {
        case FilterNode::Kind::Compare: {
            const LeafEvaluator leaf(node.compare, table);
            if (candidates == nullptr)
                leaf.scanAll(rows);
            else
                leaf.scanCandidates(*candidates, rows);
            return;
        }
        case FilterNode::Kind::And: {
            // Each term narrows what the next one looks at.
            evaluate(*node.children.front(), table, candidates, rows);
            Rows next;
            for (std::size_t i = 1; i < node.children.size() && !rows.empty(); ++i) {
                evaluate(*node.children[i], table, &rows, next);
                rows.swap(next);
            }
            return;
        }
        case FilterNode::Kind::Or: {
            evaluate(*node.children.front(), table, candidates, rows);
            Rows part;
            for (std::size_t i = 1; i < node.children.size(); ++i) {
                evaluate(*node.children[i], table, candidates, part);
                mergeRows(rows, part);
            }
            return;
        }
    }
}

}  // namespace

void evaluateColumnwise(const FilterNode& node, const Table& table, std::vector<std::uint32_t>& rows) {
    evaluate(node, table, nullptr, rows);
}

void evaluateColumnwiseWithin(const FilterNode& node, const Table& table,
                              const std::vector<std::uint32_t>& candidates,
                              std::vector<std::uint32_t>& rows) {
    evaluate(node, table, &candidates, rows);
}

}  // namespace lumaref
