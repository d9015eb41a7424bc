#include "support/oracles/row_by_row_filter.h"

#include <optional>
#include <string>

#include "filter/filter_eval.h"
#include "filter/filter_parser.h"
#include "text/error.h"
#include "text/number_text.h"
#include "text/text_fold.h"

namespace lumaref::test {
namespace {

// Wildcard matching a byte at a time, backtracking to the last wildcard on a mismatch: a different
// road from LikePattern::matches, so each checks the other.
bool globMatches(const std::vector<std::string>& pieces, std::string_view text) {
    std::vector<int> pattern;  // bytes, and -1 for a wildcard
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) pattern.push_back(-1);
        for (const char c : pieces[i]) pattern.push_back(static_cast<unsigned char>(c));
    }
    std::size_t p = 0;
    std::size_t t = 0;
    std::optional<std::size_t> starP;
    std::size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == static_cast<unsigned char>(text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == -1) {
            starP = p++;
            starT = t;
        } else if (starP) {
            p = *starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == -1) ++p;
    return p == pattern.size();
}

bool comparisonMatches(const Comparison& c, const Table& table, std::size_t row) {
    if (c.column < 0 || static_cast<std::size_t>(c.column) >= table.columns.size())
        throw Error(kFilterArgumentsError);
    const Column& column = table.columns[static_cast<std::size_t>(c.column)];
    if (c.op == CompareOp::IsNull) return column.isNull(row);
    if (c.op == CompareOp::IsNotNull) return !column.isNull(row);
    if (c.kind == FieldKind::Boolean) {
        const bool value = column.boolean(row).value_or(false);
        return c.op == CompareOp::Equal ? value == c.boolean : value != c.boolean;
    }
    if (c.op == CompareOp::Like)
        return globMatches(c.pattern.pieces(), foldText(column.text(row), FoldMode::CaseAndAccents));
    if (c.kind == FieldKind::Text) return compareText(c, foldText(column.text(row), FoldMode::Case));
    const std::optional<double> value =
        column.isNull(row) ? std::nullopt : parseReal(column.text(row), NumberBlanks::SpacesAndTabs);
    if (!value) return c.op == CompareOp::NotEqual;
    return compareNumber(c.op, *value, c.number);
}

bool nodeMatches(const FilterNode& node, const Table& table, std::size_t row) {
    switch (node.kind) {
        case FilterNode::Kind::Compare:
            return comparisonMatches(node.compare, table, row);
        case FilterNode::Kind::And:
            for (const auto& child : node.children)
                if (!nodeMatches(*child, table, row)) return false;
            return true;
        case FilterNode::Kind::Or:
            for (const auto& child : node.children)
                if (nodeMatches(*child, table, row)) return true;
            return false;
    }
    return false;
}

}  // namespace

RowByRowFilter::RowByRowFilter(std::string_view criteria, const Table& table)
    : root_(parseFilter(criteria, table)) {}

bool RowByRowFilter::matches(const Table& table, std::size_t row) const {
    return root_ == nullptr || nodeMatches(*root_, table, row);
}

std::vector<std::uint32_t> RowByRowFilter::matchingRows(const Table& table) const {
    std::vector<std::uint32_t> rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (matches(table, row)) rows.push_back(static_cast<std::uint32_t>(row));
    return rows;
}

}  // namespace lumaref::test
