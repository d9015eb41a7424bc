#include <gtest/gtest.h>

#include <string_view>

#include "filter/filter.h"
#include "filter/filter_narrowing.h"

namespace lumaref {
namespace {

// Narrowing is only safe when every text the new pattern matches is matched by the old one: a wrong
// "yes" loses rows, a wrong "no" only costs a full scan.
TEST(FilterNarrowing, LikePatternsNarrowOnlyWhenCertain) {
    const struct {
        std::string_view narrower;
        std::string_view wider;
        bool narrows;
    } cases[] = {
        {"*opt*", "*op*", true},    {"*op*", "*op*", true},   {"*op*", "*opt*", false},
        {"opt*", "*op*", true},     {"*xopt", "*pt*", true},  {"optic", "*pti*", true},
        {"*OPT*", "*op*", true},    {"*Öpt*", "*op*", true},  {"*STRASSE*", "*ß*", true},
        {"*o*p*", "*op*", false},   {"*o%p*", "*op*", false}, {"*op*", "op*", false},
        {"*op*", "*o*p*", false},   {"*op*x*", "*op*", true}, {"*x*op*", "*o*", true},
        {"*anything*", "**", true}, {"", "*", true},          {"*op*", "", false},
        {"op", "*o*", true},        {"*p*", "*op*", false},   {"*é*", "*e*", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(likeNarrows(LikePattern(c.narrower), LikePattern(c.wider)), c.narrows)
            << c.narrower << " within " << c.wider;
    }
}

TEST(FilterNarrowing, OnlyTheSearchConditionMayChange) {
    Table table;
    for (const char* name : {"Title", "ISSN", "category"})
        table.columns.emplace_back(FieldInfo{name, FieldKind::Text, 0});
    table.columns.emplace_back(FieldInfo{"Science Citation Index", FieldKind::Boolean, 0});
    const struct {
        std::string_view narrower;
        std::string_view wider;
        bool narrows;
    } cases[] = {
        {"category='A' AND Title Like '*opt*'", "category='A' AND Title Like '*op*'", true},
        {" Title Like '*opt*'", " Title Like '*op*'", true},
        {"category='A' AND Title Like '*op*'", "category='A'", false},
        {"category='A' AND Title Like '*opt*'", "category='B' AND Title Like '*op*'", false},
        {"category='A' AND ISSN Like '*opt*'", "category='A' AND Title Like '*op*'", false},
        {"category='A' AND [Science Citation Index] = True AND Title Like '*o*'",
         "category='A' AND Title Like '*o*'", false},
        {"category='A' AND Title Like '*opt*' AND ISSN Like '*12*'",
         "category='A' AND Title Like '*op*' AND ISSN Like '*1*'", false},
        {"category='A' AND Title Like '*op*'", "category='A' AND Title Like '*op*'", true},
        {"category='A' OR Title Like '*opt*'", "category='A' OR Title Like '*op*'", false},
    };
    for (const auto& c : cases) {
        const CompiledFilter narrower = CompiledFilter::compile(c.narrower, table);
        const CompiledFilter wider = CompiledFilter::compile(c.wider, table);
        EXPECT_EQ(narrower.narrows(wider), c.narrows) << c.narrower << " within " << c.wider;
    }
}

}  // namespace
}  // namespace lumaref
