#include "app/admin_access_code.h"
#include "app/window_fixture.h"
#include "support/case_name.h"

namespace lumaref::test {
namespace {

// The selection panel as a user sets it: three boxes typed into, then one index button clicked. The
// filter texts themselves are the selection filter's own tests; here each control reaches the grid.
struct Selection {
    const char* name;
    const char* category;
    const char* subject;
    const char* frequency;
    Role indexButton;
    const char* count;
};

void PrintTo(const Selection& s, std::ostream* out) { *out << s.name; }

class SelectionFilterTest : public WindowTest, public ::testing::WithParamInterface<Selection> {};

TEST_P(SelectionFilterTest, NarrowsTheGridToTheSelection) {
    const Selection& s = GetParam();
    createLibrary();
    openWindow();
    activateWindow();
    retype(Role::CategoryBox, QString::fromUtf8(s.category));
    retype(Role::SubjectBox, QString::fromUtf8(s.subject));
    retype(Role::FrequencyBox, QString::fromUtf8(s.frequency));
    click(s.indexButton);

    EXPECT_TRUE(journals().filtered());
    EXPECT_EQ(text(Role::RecordCountLabel), s.count);
    EXPECT_EQ(QString::number(gridRows()), s.count);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Window, SelectionFilterTest,
    ::testing::Values(Selection{"Everything", "", "", "", Role::AllIndexesButton, "7"},
                      Selection{"Category", "Physics", "", "", Role::AllIndexesButton, "4"},
                      Selection{"CategoryAndIndex", "Physics", "", "", Role::SciButton, "2"},
                      Selection{"Frequency", "", "", "Monthly", Role::AllIndexesButton, "4"},
                      Selection{"ExpandedIndex", "", "", "", Role::ScieButton, "1"},
                      Selection{"ArtsIndex", "", "", "", Role::AhciButton, "1"},
                      Selection{"AllFourControls", "Physics", "Optics", "Quarterly", Role::EsciButton, "1"},
                      // Equality, not a prefix: a category typed in part matches nothing.
                      Selection{"PartOfACategory", "Phys", "", "", Role::AllIndexesButton, "0"},
                      Selection{"Quote", "O'Brien Category", "", "", Role::AllIndexesButton, "1"},
                      Selection{"Arabic", "فيزياء", "بصريات", "", Role::AllIndexesButton, "1"},
                      Selection{"Subject", "", "Optics", "", Role::AllIndexesButton, "3"}),
    test::CaseName());

// The field search on top of the selection: choice of field, search text, optional category. The
// conditions' texts are the search condition's own tests; here the grid shows what they select.
struct Search {
    const char* name;
    const char* field;
    const char* searchText;
    const char* category;
    const char* count;
};

void PrintTo(const Search& s, std::ostream* out) { *out << s.name; }

class FieldSearchTest : public WindowTest, public ::testing::WithParamInterface<Search> {};

TEST_P(FieldSearchTest, AddsOneConditionForTheChosenField) {
    const Search& s = GetParam();
    createLibrary();
    openWindow();
    retype(Role::CategoryBox, QString::fromUtf8(s.category));
    retype(Role::SearchFieldBox, QString::fromUtf8(s.field));
    retype(Role::SearchEdit, QString::fromUtf8(s.searchText));

    EXPECT_EQ(text(Role::RecordCountLabel), s.count);
    EXPECT_EQ(QString::number(gridRows()), s.count);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Window, FieldSearchTest,
                         ::testing::Values(Search{"Title", "Journal Title", "optic", "", "2"},
                                           Search{"TitleInACategory", "Journal Title", "optic", "Physics",
                                                  "2"},
                                           Search{"TitleWithAQuote", "Journal Title", "O'Brien", "", "1"},
                                           Search{"Issn", "ISSN", "0003", "", "1"},
                                           Search{"EIssn", "E-ISSN", "2222-0005", "", "1"},
                                           Search{"EIssnInACategory", "E-ISSN", "2222", "Physics", "4"},
                                           Search{"ImpactFactor", "Impact Factor", "3.1", "", "1"},
                                           Search{"QuartileInACategory", "Journal Q", "Q1", "Physics", "2"},
                                           Search{"Address", "Publisher/Address", "washington", "", "2"},
                                           Search{"ArabicTitle", "Journal Title", "الفيزياء", "", "1"},
                                           // "Admin Mode" and a text that names no field search nothing.
                                           Search{"AdminMode", "Admin Mode", "optic", "Physics", "4"},
                                           Search{"NoSuchField", "Title", "optic", "", "7"}),
                         test::CaseName());

// Which codes open the gate is the gate's own table; here the window runs it on the search.
TEST_F(WindowTest, AdminModeFollowsTheLastRunOfTheSearchOnly) {
    createLibrary();
    openWindow();
    activateWindow();
    const QString code = QString::fromUtf8(kAdminAccessCode.data(), std::ssize(kAdminAccessCode));

    // The code typed under another field searches for it; choosing "Admin Mode" afterwards only
    // changes the caption.
    retype(Role::SearchEdit, code);
    EXPECT_EQ(text(Role::RecordCountLabel), "0");
    pick(Role::SearchFieldBox, "Admin Mode");
    EXPECT_EQ(text(Role::SearchTextLabel), "Password:");
    EXPECT_EQ(enabledAdminControls(), std::vector<Role>());
    EXPECT_EQ(text(Role::RecordCountLabel), "0");

    // Editing the search text runs the gate again: every administrator control opens, the hidden
    // "Update" buttons stay hidden, and the code narrows nothing.
    retype(Role::SearchEdit, code);
    EXPECT_EQ(enabledAdminControls(), kAdminControls);
    EXPECT_FALSE(control(Role::UpdateCategoriesButton)->isVisible());
    EXPECT_FALSE(control(Role::UpdateFrequenciesButton)->isVisible());
    EXPECT_EQ(text(Role::RecordCountLabel), "7");

    // Another field: caption back, controls still enabled until the search runs again.
    pick(Role::SearchFieldBox, "ISSN");
    EXPECT_EQ(text(Role::SearchTextLabel), "Search for:");
    EXPECT_EQ(enabledAdminControls(), kAdminControls);

    // A category change runs the search: with "ISSN" chosen the code now closes the gate.
    retype(Role::CategoryBox, "Physics");
    EXPECT_EQ(enabledAdminControls(), std::vector<Role>());

    retype(Role::SearchEdit, "");
    EXPECT_EQ(journals().filter(), "category='Physics'");
    EXPECT_EQ(text(Role::RecordCountLabel), "4");
}

TEST_F(WindowTest, AnIndexButtonDropsTheSearchConditionUntilTheNextSearch) {
    createLibrary();
    openWindow();
    activateWindow();
    retype(Role::SearchEdit, "optic");
    EXPECT_EQ(text(Role::RecordCountLabel), "2");
    click(Role::EsciButton);
    EXPECT_EQ(journals().filter(), "[Emerging Sources Citation Index] = True");
    EXPECT_EQ(text(Role::RecordCountLabel), "2");
    click(Role::AllIndexesButton);
    EXPECT_EQ(text(Role::RecordCountLabel), "7");
    retype(Role::FrequencyBox, "Monthly");
    EXPECT_EQ(journals().filter(), "Frequently='Monthly' AND Title Like '*optic*'");
    EXPECT_EQ(text(Role::RecordCountLabel), "1");
}

}  // namespace
}  // namespace lumaref::test
