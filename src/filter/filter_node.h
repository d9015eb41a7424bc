#pragma once

#include <memory>
#include <string>
#include <vector>

#include "filter/like_pattern.h"
#include "text/field.h"

namespace lumaref {

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like, IsNull, IsNotNull };

// One "field operator literal" term, its literal already converted to what the column compares with.
struct Comparison {
    int column = -1;
    FieldKind kind = FieldKind::Text;
    CompareOp op = CompareOp::Equal;
    std::string text;      // text columns, other than Like: the literal folded for case
    double number = 0;     // Integer and Real columns
    bool boolean = false;  // yes/no columns: the value compared with (null reads as false)
    LikePattern pattern;   // Like, on any column but yes/no
};

// The compiled criteria: AND and OR nodes (each with two or more children) over comparisons.
// The children of an AND are kept cheapest and most selective first.
struct FilterNode {
    enum class Kind { And, Or, Compare };

    Kind kind = Kind::Compare;
    std::vector<std::unique_ptr<FilterNode>> children;
    Comparison compare;
};

}  // namespace lumaref
