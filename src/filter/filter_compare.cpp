#include "filter/filter_eval.h"

namespace lumaref {

bool compareText(const Comparison& c, std::string_view folded) {
    switch (c.op) {
        case CompareOp::Equal:
            return folded == c.text;
        case CompareOp::NotEqual:
            return folded != c.text;
        case CompareOp::Less:
            return folded < c.text;
        case CompareOp::Greater:
            return folded > c.text;
        case CompareOp::LessEqual:
            return folded <= c.text;
        case CompareOp::GreaterEqual:
            return folded >= c.text;
        case CompareOp::Like:
            return c.pattern.matches(folded);
        case CompareOp::IsNull:
        case CompareOp::IsNotNull:
            break;
    }
    return false;
}

bool compareNumber(CompareOp op, double cell, double literal) {
    switch (op) {
        case CompareOp::Equal:
            return cell == literal;
        case CompareOp::NotEqual:
            return cell != literal;
        case CompareOp::Less:
            return cell < literal;
        case CompareOp::Greater:
            return cell > literal;
        case CompareOp::LessEqual:
            return cell <= literal;
        case CompareOp::GreaterEqual:
            return cell >= literal;
        case CompareOp::Like:
        case CompareOp::IsNull:
        case CompareOp::IsNotNull:
            break;
    }
    return false;
}

}  // namespace lumaref
