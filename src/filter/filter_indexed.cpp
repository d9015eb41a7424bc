#include "filter/filter_indexed.h"

#include <algorithm>
#include <iterator>

#include "text/error.h"

namespace lumaref {

namespace {

using Rows = std::vector<std::uint32_t>;

const Rows& matchesOf(const Comparison& c, const Table& table) {
    static const Rows kNone;
    if (c.column < 0 || static_cast<std::size_t>(c.column) >= table.columns.size())
        throw Error(kFilterArgumentsError);
    // The literal is folded for case at compile time, the index keys likewise.
    const Rows* rows = table.columns[static_cast<std::size_t>(c.column)].equalityIndex().rowsOf(c.text);
    return rows != nullptr ? *rows : kNone;
}

}  // namespace

bool answerableByIndex(const FilterNode& node) {
    if (node.kind == FilterNode::Kind::Compare)
        return node.compare.kind == FieldKind::Text && node.compare.op == CompareOp::Equal;
    return std::all_of(node.children.begin(), node.children.end(),
                       [](const auto& child) { return answerableByIndex(*child); });
}

void evaluateIndexed(const FilterNode& node, const Table& table, Rows& rows) {
    switch (node.kind) {
        case FilterNode::Kind::Compare:
            rows = matchesOf(node.compare, table);
            return;
        case FilterNode::Kind::And: {
            evaluateIndexed(*node.children.front(), table, rows);
            Rows part;
            Rows kept;
            for (std::size_t i = 1; i < node.children.size() && !rows.empty(); ++i) {
                evaluateIndexed(*node.children[i], table, part);
                kept.clear();
                std::set_intersection(rows.begin(), rows.end(), part.begin(), part.end(),
                                      std::back_inserter(kept));
                rows.swap(kept);
            }
            return;
        }
        case FilterNode::Kind::Or: {
            evaluateIndexed(*node.children.front(), table, rows);
            Rows part;
            Rows merged;
            for (std::size_t i = 1; i < node.children.size(); ++i) {
                evaluateIndexed(*node.children[i], table, part);
                if (part.empty()) continue;
                merged.clear();
                std::set_union(rows.begin(), rows.end(), part.begin(), part.end(),
                               std::back_inserter(merged));
                rows.swap(merged);
            }
            return;
        }
    }
}

}  // namespace lumaref
