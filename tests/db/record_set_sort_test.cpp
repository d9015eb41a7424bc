// A record set shown in the order of a field: the cursor, filters, posts and appends under a sort.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/record_set.h"
#include "support/journals_fixture.h"
#include "support/temp_database.h"

namespace lumaref {
namespace {

class SortedJournalsTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        std::string sql;
        for (const test::TestJournal& journal :
             std::vector<test::TestJournal>{{"Optics B", "Physics", "", "", "", "", "2.5"},
                                            {"Cells", "Biology", "", "", "", "", ""},
                                            {"optics a", "Physics", "", "", "", "", "10"},
                                            {"Óptica", "Physics", "", "", "", "", "0.7"},
                                            {"Acoustics", "Physics", "", "", "", "", "2.5"}})
            sql += test::journalRowSql(journal);
        test::createDatabase(dbPath, sql);
        openJournals();
        title = journals->fieldIndex("Title");
        impactFactor = journals->fieldIndex("IF");
    }

    std::vector<std::string> shownTitles() {
        std::vector<std::string> titles;
        titles.reserve(static_cast<std::size_t>(journals->recordCount()));
        for (int p = 0; p < journals->recordCount(); ++p) titles.emplace_back(journals->valueAt(p, title));
        return titles;
    }

    int title = 0;
    int impactFactor = 0;
};

TEST_F(SortedJournalsTest, TheOrderHoldsThroughFiltersAndTheCursorKeepsItsRow) {
    journals->setRecNo(3);  // "optics a"
    journals->setSort(RowSort{impactFactor, SortDirection::Descending});
    EXPECT_EQ(shownTitles(),
              (std::vector<std::string>{"optics a", "Optics B", "Acoustics", "Óptica", "Cells"}));
    EXPECT_EQ(journals->fieldAsString("Title"), "optics a");
    EXPECT_EQ(journals->recNo(), 1);

    journals->setFiltered(true);
    journals->setFilter("category = 'Physics' AND Title Like '*opt*'");
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"optics a", "Optics B", "Óptica"}));
    journals->setSort(RowSort{title, SortDirection::Ascending});
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Óptica", "optics a", "Optics B"}));
    journals->setSort(std::nullopt);
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Optics B", "optics a", "Óptica"}));
}

// Values made beside the snapshot order the rows as a field would, and a mask leaves rows out beside the
// filter, sorted or not, until it is taken away.
TEST_F(SortedJournalsTest, AKeyBesideTheSnapshotSortsAndAMaskNarrows) {
    auto key = std::make_shared<Column>(FieldInfo{"figure"});
    for (const char* value : {"Q2", "", "Q1", "Q4", "Q3"}) key->appendText(value);
    journals->setSort(RowSort{-1, SortDirection::Ascending}, key);
    EXPECT_EQ(shownTitles(),
              (std::vector<std::string>{"optics a", "Optics B", "Acoustics", "Óptica", "Cells"}));

    journals->setFiltered(true);
    journals->setFilter("category = 'Physics'");
    journals->setRowMask(
        std::make_shared<std::vector<bool>>(std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Optics B", "Acoustics", "Óptica"}));
    journals->setFilter("Title Like '*o*'");
    journals->setSort(std::nullopt);
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Optics B", "Óptica", "Acoustics"}));
    journals->setRowMask(nullptr);
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Optics B", "optics a", "Óptica", "Acoustics"}));
}

// A batch job walks the rows shown and posts each: the rows stay where they are until the next filter,
// so the walk meets every row once, in the order shown, even as it changes the sorted field.
TEST_F(SortedJournalsTest, PostsLeaveTheRowsInPlaceUntilTheFilterIsAppliedAgain) {
    journals->setFiltered(true);
    journals->setSort(RowSort{impactFactor, SortDirection::Ascending});
    const std::vector<std::string> before = shownTitles();
    std::vector<std::string> walked;
    int value = 100;
    for (journals->first(); !journals->eof(); journals->next()) {
        walked.push_back(journals->fieldAsString("Title"));
        journals->edit();
        journals->setFieldAsString("IF", std::to_string(value--));
        journals->post();
    }
    EXPECT_EQ(walked, before);
    journals->append();
    journals->setFieldAsString("Title", "Appended");
    journals->setFieldAsString("IF", "1");
    journals->post();
    EXPECT_EQ(journals->recNo(), 6);
    EXPECT_EQ(shownTitles().back(), "Appended");

    journals->setFilter("");
    std::vector<std::string> reversed(before.rbegin(), before.rend());
    reversed.insert(reversed.begin(), "Appended");
    EXPECT_EQ(shownTitles(), reversed);
}

}  // namespace
}  // namespace lumaref
