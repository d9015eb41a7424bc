#pragma once

#include "filter/filter_node.h"

namespace lumaref {

// Whether every text `narrower` matches is also matched by `wider`, judged on the folded pieces alone
// (both patterns fold the same way as the cells they are matched against). Only cases that are certain
// count: an all-wildcard `wider`, equal patterns, or a "*x*" `wider` whose x lies inside one of
// `narrower`'s literal pieces, since every matching text contains each of those pieces.
bool likeNarrows(const LikePattern& narrower, const LikePattern& wider);

// How `narrower` relates to `wider` when it selects a subset of the rows `wider` selects, on any
// snapshot: the two are the same conditions in the same order but for at most one Like condition on
// the same field, whose pattern narrows the other's (typing on in the search box over an unchanged
// selection). Every condition the two share holds for each row `wider` selects, so `narrower`'s rows
// are those of `wider`'s rows that pass `changed` alone (all of them when it is null).
struct Narrowing {
    bool narrows = false;
    const FilterNode* changed = nullptr;
};
Narrowing findNarrowing(const FilterNode& narrower, const FilterNode& wider);

}  // namespace lumaref
