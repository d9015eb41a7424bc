#include "filter/filter_narrowing.h"

#include <algorithm>

namespace lumaref {

namespace {

bool sameComparison(const Comparison& a, const Comparison& b) {
    return a.column == b.column && a.kind == b.kind && a.op == b.op && a.text == b.text &&
           a.number == b.number && a.boolean == b.boolean && a.pattern.pieces() == b.pattern.pieces();
}

bool sameNode(const FilterNode& a, const FilterNode& b) {
    if (a.kind != b.kind || a.children.size() != b.children.size()) return false;
    if (a.kind == FilterNode::Kind::Compare) return sameComparison(a.compare, b.compare);
    for (std::size_t i = 0; i < a.children.size(); ++i)
        if (!sameNode(*a.children[i], *b.children[i])) return false;
    return true;
}

bool likeLeafNarrows(const FilterNode& narrower, const FilterNode& wider) {
    if (narrower.kind != FilterNode::Kind::Compare || wider.kind != FilterNode::Kind::Compare) return false;
    const Comparison& n = narrower.compare;
    const Comparison& w = wider.compare;
    return n.op == CompareOp::Like && w.op == CompareOp::Like && n.column == w.column && n.kind == w.kind &&
           likeNarrows(n.pattern, w.pattern);
}

}  // namespace

bool likeNarrows(const LikePattern& narrower, const LikePattern& wider) {
    if (wider.matchesEverything() || narrower.pieces() == wider.pieces()) return true;
    if (!wider.isContains()) return false;
    const std::string_view needle = wider.needle();
    return std::any_of(narrower.pieces().begin(), narrower.pieces().end(),
                       [&](const std::string& piece) { return piece.find(needle) != std::string::npos; });
}

Narrowing findNarrowing(const FilterNode& narrower, const FilterNode& wider) {
    if (narrower.kind == FilterNode::Kind::Compare || wider.kind == FilterNode::Kind::Compare) {
        if (sameNode(narrower, wider)) return {true, nullptr};
        if (likeLeafNarrows(narrower, wider)) return {true, &narrower};
        return {};
    }
    if (narrower.kind != FilterNode::Kind::And || wider.kind != FilterNode::Kind::And ||
        narrower.children.size() != wider.children.size())
        return {sameNode(narrower, wider), nullptr};
    Narrowing found{true, nullptr};
    for (std::size_t i = 0; i < narrower.children.size(); ++i) {
        const FilterNode& n = *narrower.children[i];
        const FilterNode& w = *wider.children[i];
        if (sameNode(n, w)) continue;
        if (found.changed != nullptr || !likeLeafNarrows(n, w)) return {};
        found.changed = &n;
    }
    return found;
}

}  // namespace lumaref
