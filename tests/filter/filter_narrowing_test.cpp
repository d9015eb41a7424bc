#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

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

// Narrowed results come from the wider filter's rows with only the changed condition tested: the
// rows must be those a full evaluation selects, and a filter that does not narrow is evaluated in full.
TEST(FilterNarrowing, OnlyTheSearchConditionMayChange) {
    Table table;
    for (const char* name : {"Title", "ISSN", "category"})
        table.columns.emplace_back(FieldInfo{name, FieldKind::Text, 0});
    table.columns.emplace_back(FieldInfo{"Science Citation Index", FieldKind::Boolean, 0});
    const struct {
        const char* title;
        const char* issn;
        const char* category;
        bool index;
    } rows[] = {
        {"Optics", "1234", "A", true},      {"Optical Review", "1111", "B", false},
        {"Photonics", "2121", "A", false},  {"Opera", "1212", "A", true},
        {"Topology", "0001", "B", true},    {"optic", "3123", "A", false},
        {"Öptica Acta", "4141", "A", true}, {"Straße der Optik", "5151", "B", false},
        {nullptr, "6161", "A", true},
    };
    for (const auto& row : rows) {
        if (row.title != nullptr)
            table.columns[0].appendText(row.title);
        else
            table.columns[0].appendNull();
        table.columns[1].appendText(row.issn);
        table.columns[2].appendText(row.category);
        table.columns[3].appendBool(row.index);
    }
    // Results few enough among the rows to keep their cells.
    for (int filler = 0; filler < 60; ++filler) {
        for (std::size_t column = 0; column < 3; ++column) table.columns[column].appendText("zz");
        table.columns[3].appendBool(false);
    }
    // An edited row, its folded bytes stale: "Photonics" is now found by "opt".
    std::vector<std::uint32_t> unused;
    CompiledFilter::compile(" Title Like '*x*'", table).evaluate(table, unused);
    table.columns[0].set(2, "Photon OPTIK");
    const struct {
        std::string_view narrower;
        std::string_view wider;
        bool narrows;
    } cases[] = {
        {"category='A' AND Title Like '*opt*'", "category='A' AND Title Like '*op*'", true},
        {" Title Like '*opt*'", " Title Like '*op*'", true},
        {" Title Like '*opt*'", "", true},
        {"category='A' AND Title Like '*op*'", "category='A'", false},
        {"category='A' AND Title Like '*opt*'", "category='B' AND Title Like '*op*'", false},
        {"category='A' AND ISSN Like '*opt*'", "category='A' AND Title Like '*op*'", false},
        {"category='A' AND [Science Citation Index] = True AND Title Like '*o*'",
         "category='A' AND Title Like '*o*'", false},
        {"category='A' AND Title Like '*opt*' AND ISSN Like '*12*'",
         "category='A' AND Title Like '*op*' AND ISSN Like '*1*'", false},
        {"category='A' AND Title Like '*op*'", "category='A' AND Title Like '*op*'", true},
        {"category='A' AND Title Like '*op*'", "category = 'A'  AND Title Like '*op*'", true},
        {"category='A' OR Title Like '*opt*'", "category='A' OR Title Like '*op*'", false},
        {"category='A' AND Title Like '*pt*'", "category='A' AND ISSN Like '*12*'", false},
        {"category='A' AND Title Like '*opt*' AND ISSN Like '*1*'",
         "category='A' AND Title Like '*op*' AND ISSN Like '*1*'", true},
        {" Title Like '*optik*'", " Title Like '*opt*'", true},
        {" Title Like '*OPTI*'", " Title Like '*Öp*'", true},
        {"category='B' AND Title Like '*strasse*'", "category='B' AND Title Like '*ss*'", true},
    };
    for (const auto& c : cases) {
        const CompiledFilter narrower = CompiledFilter::compile(c.narrower, table);
        const CompiledFilter wider = CompiledFilter::compile(c.wider, table);
        EXPECT_EQ(narrower.narrows(wider), c.narrows) << c.narrower << " within " << c.wider;
        std::vector<std::uint32_t> widerRows;
        std::vector<std::uint32_t> expected;
        std::vector<std::uint32_t> narrowed;
        std::shared_ptr<const ResultCells> cells;
        wider.evaluate(table, widerRows);
        narrower.evaluate(table, expected);
        narrower.evaluateNarrowed(table, wider, widerRows, wider.searchedCells(table, widerRows).get(),
                                  narrowed, cells);
        EXPECT_EQ(narrowed, expected) << c.narrower << " within " << c.wider;
        // The cells given back are those of the narrowed rows, as gathered afresh.
        const std::shared_ptr<const ResultCells> fresh = narrower.searchedCells(table, expected);
        ASSERT_EQ(cells != nullptr, fresh != nullptr) << c.narrower;
        if (cells != nullptr) {
            EXPECT_EQ(cells->column, fresh->column) << c.narrower;
            EXPECT_EQ(cells->cells.arena, fresh->cells.arena) << c.narrower;
            EXPECT_EQ(cells->cells.offsets, fresh->cells.offsets) << c.narrower;
        }
    }
}

}  // namespace
}  // namespace lumaref
