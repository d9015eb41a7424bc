#include "filter/search_condition.h"

#include "filter/selection_filter.h"

#include <gtest/gtest.h>

namespace lumaref {
namespace {

TEST(SearchConditionTest, WritesTheExactConditionForEachFieldChoice) {
    struct Row {
        const char* choice;
        const char* text;
        bool filterIsEmpty;
        const char* expected;
    };
    const Row rows[] = {
        {"Journal Title", "optic", true, " Title Like '*optic*'"},
        {"Journal Title", "optic", false, " AND Title Like '*optic*'"},
        {"ISSN", "0031", false, " AND ISSN Like '*0031*'"},
        {"E-ISSN", "1234", true, " E-ISSN  Like '*1234*'"},
        {"E-ISSN", "1234", false, " AND E-ISSN  Like '*1234*'"},
        {"Impact Factor", "2.5", true, " IF Like '*2.5*'"},
        {"Journal Q", "Q1", false, " AND Q Like '*Q1*'"},
        {"Publisher/Address", "O'Brien", true, " address Like '*O''Brien*'"},
        {"Journal Title", "a*b", true, " Title Like '*a*b*'"},
        {"Admin Mode", "optic", false, ""},
        {"journal title", "optic", true, ""},
        {"Journal Title ", "optic", true, ""},
        {"", "optic", false, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(searchCondition(row.choice, row.text, row.filterIsEmpty), row.expected)
            << "[" << row.choice << "] [" << row.text << "] empty filter " << row.filterIsEmpty;
    }
}

TEST(SearchConditionTest, JoinsTheSelectionFilter) {
    std::string filter = selectionFilterText({"Physics", "", "", 5});
    filter += searchCondition("Journal Title", "optic", filter.empty());
    EXPECT_EQ(filter, "category='Physics' AND Title Like '*optic*'");
}

}  // namespace
}  // namespace lumaref
