#include "filter/selection_filter.h"

#include <gtest/gtest.h>

namespace lumaref {
namespace {

TEST(SelectionFilterTest, BuildsConditionsInOrderFromTheBoxesAndTheIndexButton) {
    struct Row {
        SelectionInputs inputs;
        const char* expected;
    };
    const Row rows[] = {
        {{"Physics", "", "", 1}, "category='Physics' AND [Science Citation Index] = True"},
        {{"", "", "Monthly", 5}, "Frequently='Monthly'"},
        {{"", "", "", 5}, ""},
        {{"", "", "", 4}, "[Arts Humanities Citation Index] = True"},
        {{"", "Optics", "", 3}, "subject='Optics' AND [Emerging Sources Citation Index] = True"},
        {{"Physics", "Optics", "Monthly", 2},
         "category='Physics' AND subject='Optics' AND Frequently='Monthly' AND "
         "[Science Citation Index Expanded] = True"},
        {{"O'Brien", "", "", 5}, "category='O''Brien'"},
        {{"'", "a''b", "", 5}, "category='''' AND subject='a''''b'"},
        {{" Phys ", "", "", 5}, "category=' Phys '"},
        {{"", "", "Weekly", 0}, "Frequently='Weekly'"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(selectionFilterText(row.inputs), row.expected)
            << "category [" << row.inputs.category << "] subject [" << row.inputs.subject << "] frequency ["
            << row.inputs.frequency << "] button " << row.inputs.indexButton;
    }
}

}  // namespace
}  // namespace lumaref
