#include "filter/filter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/oracles/row_by_row_filter.h"
#include "text/error.h"

namespace lumaref {
namespace {

using Cell = std::optional<std::string_view>;
using Rows = std::vector<std::uint32_t>;

constexpr std::nullopt_t null = std::nullopt;

Column makeColumn(std::string name, FieldKind kind, std::initializer_list<Cell> cells) {
    Column column(FieldInfo{std::move(name), kind, 0});
    for (const Cell& cell : cells) {
        if (!cell)
            column.appendNull();
        else if (kind == FieldKind::Boolean)
            column.appendBool(*cell == "True");
        else
            column.appendText(*cell);
    }
    return column;
}

// Six journals covering letter case, accents, nulls, quotes, yes/no and numbers.
Table journals() {
    Table table;
    table.columns.push_back(makeColumn("Title", FieldKind::Text,
                                       {"Applied Optics", "ÉCOLE des Mines", "Journal of optical ecole",
                                        "École normale", null, "Straße 50%"}));
    table.columns.push_back(
        makeColumn("ISSN", FieldKind::Text, {"1234-5678", "O'Brien", "1111-2222", null, "12", "1234-5678"}));
    table.columns.push_back(
        makeColumn("E-ISSN", FieldKind::Text, {"2345-6789", null, "", "9999-0000", "12.50", "ab"}));
    table.columns.push_back(makeColumn("category", FieldKind::Text,
                                       {"Physics", "physics", "Chemistry", "Physics", null, "École"}));
    table.columns.push_back(makeColumn("Science Citation Index", FieldKind::Boolean,
                                       {"True", "False", null, "True", "False", "True"}));
    table.columns.push_back(makeColumn("Rank", FieldKind::Integer, {"1", "10", null, "3", "-2", "7"}));
    table.columns.push_back(makeColumn("Score", FieldKind::Real, {"2.5", null, "-0.5", "10", "0", "1e+20"}));
    table.columns.push_back(makeColumn("Current_Contents1", FieldKind::Text,
                                       {"Physical", "Life", null, "Physical", "Arts", "Life"}));
    return table;
}

struct FilterCase {
    std::string_view criteria;
    Rows expected;
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.criteria; }

class FilterMatches : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterMatches, SelectsExpectedRowsBothWays) {
    const Table table = journals();
    const CompiledFilter filter = CompiledFilter::compile(GetParam().criteria, table);
    Rows rows{99};  // evaluate must replace, not append
    filter.evaluate(table, rows);
    EXPECT_EQ(rows, GetParam().expected);
    EXPECT_EQ(test::RowByRowFilter(GetParam().criteria, table).matchingRows(table), GetParam().expected);
}

const FilterCase kMatchCases[] = {
    // Blank texts show everything.
    {"", {0, 1, 2, 3, 4, 5}},
    {"   ", {0, 1, 2, 3, 4, 5}},
    // Equality: any blanks around the operator, names and values in any letter case.
    {"category='Physics'", {0, 1, 3}},
    {"category ='Physics'", {0, 1, 3}},
    {"  category\t=  'PHYSICS'  ", {0, 1, 3}},
    {"CATEGORY='physics'", {0, 1, 3}},
    {"category='Phys'", {}},
    {"category='école'", {5}},
    {"category='ecole'", {}},
    {"Current_Contents1 = 'Physical'", {0, 3}},
    {"ISSN = 'O''Brien'", {1}},
    {"ISSN = \"O'Brien\"", {1}},
    {"ISSN ='1234-5678' OR ISSN='2345-6789'", {0, 5}},
    // Null reads as the empty text; "= Null" asks for no value at all.
    {"E-ISSN = ''", {1, 2}},
    {"E-ISSN <> ''", {0, 3, 4, 5}},
    {"E-ISSN = Null", {1}},
    {"E-ISSN <> NULL", {0, 2, 3, 4, 5}},
    // A number against text compares as written.
    {"ISSN = 12", {4}},
    {"E-ISSN = 12.50", {4}},
    {"E-ISSN = 12.5", {}},
    // Ordering of text: bytes of the case-folded forms.
    {"category > 'd'", {0, 1, 3, 5}},
    {"category < 'd'", {2, 4}},
    {"category >= 'PHYSICS'", {0, 1, 3, 5}},
    {"category <= 'chemistry'", {2, 4}},
    // Yes/no fields; null counts as False.
    {"[Science Citation Index] = True", {0, 3, 5}},
    {"[science citation index]=TRUE", {0, 3, 5}},
    {"[Science Citation Index] <> True", {1, 2, 4}},
    {"[Science Citation Index] = False", {1, 2, 4}},
    {"[Science Citation Index] <> false", {0, 3, 5}},
    {"[Science Citation Index] = 0", {1, 2, 4}},
    {"[Science Citation Index] = -1", {0, 3, 5}},
    {"[Science Citation Index] = 'true'", {0, 3, 5}},
    {"[Science Citation Index] = Null", {2}},
    // Numbers compare as numbers; a null number only satisfies <>.
    {"Rank = 10", {1}},
    {"Rank = '10'", {1}},
    {"Rank = 10.0", {1}},
    {"Rank > 2", {1, 3, 5}},
    {"Rank <= 1", {0, 4}},
    {"Rank < 0", {4}},
    {"Rank >= -2", {0, 1, 3, 4, 5}},
    {"Rank <> 10", {0, 2, 3, 4, 5}},
    {"Score = -0.5", {2}},
    {"Score = +2.5", {0}},
    {"Score > 1000", {5}},
    {"Score <> 0", {0, 1, 2, 3, 5}},
    {"Rank Like '1*'", {0, 1}},
    // Like: case and accents ignored, wildcards anywhere, anchored without them.
    {" Title Like '*optic*'", {0, 2}},
    {" E-ISSN  Like '*2345*'", {0}},
    {"Title Like '*ecole*'", {1, 2, 3}},
    {"Title LIKE '*ÉCOLE*'", {1, 2, 3}},
    {"title like 'école*'", {1, 3}},
    {"Title Like '*ole'", {2}},
    {"Title Like 'ecole'", {}},
    {"Title Like 'ecole normale'", {3}},
    {"Title Like '%DES%'", {1}},
    {"Title Like '*of*ecole'", {2}},
    {"Title Like 'a*s'", {0}},
    {"Title Like 'a*p*s'", {0}},
    {"Title Like 'a*s*s'", {}},
    {"Title Like 'j*o*o*e'", {2}},
    {"Title Like '*strasse*'", {5}},
    {"Title Like '*50%'", {5}},
    {"Title Like '*'", {0, 1, 2, 3, 4, 5}},
    {"Title Like '**%'", {0, 1, 2, 3, 4, 5}},
    {"Title Like ''", {4}},
    {"Title Like'*OPTIC*'", {0, 2}},
    // AND binds tighter than OR; parentheses regroup.
    {"category='Physics' AND [Science Citation Index] = True", {0, 3}},
    {"category='Physics'AND Rank=3", {3}},
    {"category='Physics' and [Science Citation Index] = True or Rank = 7", {0, 3, 5}},
    {"Rank = 7 OR category='Physics' AND [Science Citation Index] = False", {1, 5}},
    {"(Rank = 7 OR category='Physics') AND [Science Citation Index] = False", {1}},
    {"((category='Physics'))", {0, 1, 3}},
    {"[Science Citation Index]=True AND (Title Like '*optic*' OR Title Like '*strasse*')", {0, 5}},
    {"category='Physics' AND [Science Citation Index] = True AND [Science Citation Index] <> True", {}},
};

INSTANTIATE_TEST_SUITE_P(Criteria, FilterMatches, testing::ValuesIn(kMatchCases));

class FilterRejects : public testing::TestWithParam<std::string> {};

TEST_P(FilterRejects, WithTheProvidersText) {
    const Table table = journals();
    try {
        CompiledFilter::compile(GetParam(), table);
        FAIL() << "accepted: " << GetParam();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kFilterArgumentsError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, FilterRejects,
    testing::Values("category", "category =", "category = 'x", "= 'x'", "category == 'x'", "category 'x'",
                    "category = x", "category = 'x' AND", "category = 'x' garbage", "category = 'x')",
                    "(category = 'x'", "()", "category = 'x' OR OR Rank = 1", "category = 'x' ANDRank = 1",
                    "Unknown = 'x'", "[Title = 'x'", "[] = 'x'", "Total Cites = 'x'", "category = 12abc",
                    "category = 1.2.3", "category = -", "category = #2020-01-01#", "category = True",
                    "category Like False", "Title < Null", "Title Like Null", "Rank = 'ten'", "Rank = True",
                    "Rank = ''", "[Science Citation Index] = 'maybe'", "[Science Citation Index] = ''",
                    "[Science Citation Index] Like 'T*'", "[Science Citation Index] > False",
                    "Title Like '*x*' NOT", std::string(1000, '(') + "Rank = 1" + std::string(1000, ')'),
                    std::string("category = 'a\0b", 14)));

TEST(Filter, AcceptsNestingUpToItsLimitAndMatchesAllOnlyWhenBlank) {
    const Table table = journals();
    const std::string nested = std::string(50, '(') + "Rank = 3" + std::string(50, ')');
    const CompiledFilter filter = CompiledFilter::compile(nested, table);
    EXPECT_FALSE(filter.matchesAll());
    Rows rows;
    filter.evaluate(table, rows);
    EXPECT_EQ(rows, Rows{3});
    EXPECT_TRUE(CompiledFilter::compile(" \t ", table).matchesAll());
    EXPECT_TRUE(CompiledFilter().matchesAll());
}

}  // namespace
}  // namespace lumaref
