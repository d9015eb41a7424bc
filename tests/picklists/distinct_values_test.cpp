#include "picklists/distinct_values.h"

#include <gtest/gtest.h>

#include "picklists/list_rebuild.h"

namespace lumaref {
namespace {

using namespace std::string_literals;
using Items = std::vector<std::string>;

Items distinct(const Items& input) {
    DistinctValues values;
    for (const std::string& value : input) values.add(value);
    return values.take();
}

TEST(DistinctValuesTest, KeepsEachValueOnceInOrderOfFirstAppearance) {
    struct Row {
        Items input;
        Items distinct;
    };
    const Row rows[] = {
        {{}, {}},
        {{"Physics", "Biology", "Physics", "Chemistry"}, {"Physics", "Biology", "Chemistry"}},
        // Byte for byte: letter case, blanks and zero bytes make values distinct; nothing is trimmed.
        {{"Physics", "physics", "Physics ", " Physics", "Physics"},
         {"Physics", "physics", "Physics ", " Physics"}},
        {{"a\0b"s, "a\0c"s, "a", "a\0b"s}, {"a\0b"s, "a\0c"s, "a"}},
        {{"", "x", "", "x"}, {"", "x"}},
        {{"Caf\xC3\xA9", "Cafe\xCC\x81", "Caf\xC3\xA9"}, {"Caf\xC3\xA9", "Cafe\xCC\x81"}},
    };
    for (const Row& row : rows) EXPECT_EQ(distinct(row.input), row.distinct);
}

TEST(DistinctValuesTest, HasNoCapacityAndStartsAfreshAfterTake) {
    DistinctValues values;
    Items expected;
    // Short values live inside their string objects: keeping many must not lose the earlier ones.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 5000; ++i) {
            const std::string value = std::to_string(i * 7919 % 5000);
            EXPECT_EQ(values.add(value), round == 0) << value;
            if (round == 0) expected.push_back(value);
        }
    }
    EXPECT_EQ(values.size(), 5000u);
    EXPECT_EQ(values.take(), expected);
    EXPECT_EQ(values.size(), 0u);
    EXPECT_TRUE(values.add("0"));
    EXPECT_EQ(values.take(), Items({"0"}));
}

TEST(SubjectFilterTextTest, QuotesTheCategoryWithOneBlankBeforeTheEqualsSign) {
    const std::pair<std::string, std::string> rows[] = {
        {"Physics", "category ='Physics'"}, {"O'Brien", "category ='O''Brien'"},      {"", "category =''"},
        {"''", "category =''''''"},         {" a = 'b' ", "category =' a = ''b'' '"},
    };
    for (const auto& [category, filter] : rows) EXPECT_EQ(subjectFilterText(category), filter);
}

}  // namespace
}  // namespace lumaref
