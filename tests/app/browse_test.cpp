#include <QRadioButton>

#include "app/window_fixture.h"

namespace lumaref::test {
namespace {

// The selection panel as a user sets it: three boxes typed into, then one index button clicked.
struct Selection {
    const char* category;
    const char* subject;
    const char* frequency;
    const char* indexButton;
    const char* filter;
    const char* count;
};

class SelectionFilterTest : public WindowTest, public ::testing::WithParamInterface<Selection> {};

TEST_P(SelectionFilterTest, NarrowsTheGridToTheSelection) {
    const Selection& s = GetParam();
    createLibrary();
    openWindow();
    activateWindow();
    retype("ComboBox1", QString::fromUtf8(s.category));
    retype("ComboBox2", QString::fromUtf8(s.subject));
    retype("ComboBox3", QString::fromUtf8(s.frequency));
    click(s.indexButton);

    EXPECT_EQ(window().ADOQuery1.filter(), s.filter);
    EXPECT_TRUE(window().ADOQuery1.filtered());
    EXPECT_EQ(text("Label7"), s.count);
    EXPECT_EQ(QString::number(gridRows()), s.count);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Window, SelectionFilterTest,
    ::testing::Values(
        Selection{"", "", "", "RadioButton5", "", "7"},
        Selection{"Physics", "", "", "RadioButton5", "category='Physics'", "4"},
        Selection{"Physics", "", "", "RadioButton1", "category='Physics' AND [Science Citation Index] = True",
                  "2"},
        Selection{"", "", "Monthly", "RadioButton5", "Frequently='Monthly'", "4"},
        Selection{"", "", "", "RadioButton2", "[Science Citation Index Expanded] = True", "1"},
        Selection{"", "", "", "RadioButton4", "[Arts Humanities Citation Index] = True", "1"},
        Selection{"Physics", "Optics", "Quarterly", "RadioButton3",
                  "category='Physics' AND subject='Optics' AND Frequently='Quarterly' AND "
                  "[Emerging Sources Citation Index] = True",
                  "1"},
        // Equality, not a prefix: a category typed in part matches nothing.
        Selection{"Phys", "", "", "RadioButton5", "category='Phys'", "0"},
        Selection{"O'Brien Category", "", "", "RadioButton5", "category='O''Brien Category'", "1"},
        Selection{"فيزياء", "بصريات", "", "RadioButton5", "category='فيزياء' AND subject='بصريات'", "1"},
        Selection{"", "Optics", "", "RadioButton5", "subject='Optics'", "3"}));

// The field search on top of the selection: choice of field, search text, optional category.
struct Search {
    const char* field;
    const char* searchText;
    const char* category;
    const char* filter;
    const char* count;
};

class FieldSearchTest : public WindowTest, public ::testing::WithParamInterface<Search> {};

TEST_P(FieldSearchTest, AddsOneConditionForTheChosenField) {
    const Search& s = GetParam();
    createLibrary();
    openWindow();
    retype("ComboBox1", QString::fromUtf8(s.category));
    retype("ComboBox4", QString::fromUtf8(s.field));
    retype("Edit4", QString::fromUtf8(s.searchText));

    EXPECT_EQ(window().ADOQuery1.filter(), s.filter);
    EXPECT_EQ(text("Label7"), s.count);
    EXPECT_EQ(QString::number(gridRows()), s.count);
    EXPECT_TRUE(prompts.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Window, FieldSearchTest,
    ::testing::Values(
        Search{"Journal Title", "optic", "", " Title Like '*optic*'", "2"},
        Search{"Journal Title", "optic", "Physics", "category='Physics' AND Title Like '*optic*'", "2"},
        Search{"Journal Title", "O'Brien", "", " Title Like '*O''Brien*'", "1"},
        Search{"ISSN", "0003", "", " ISSN Like '*0003*'", "1"},
        Search{"E-ISSN", "2222-0005", "", " E-ISSN  Like '*2222-0005*'", "1"},
        Search{"E-ISSN", "2222", "Physics", "category='Physics' AND E-ISSN  Like '*2222*'", "4"},
        Search{"Impact Factor", "3.1", "", " IF Like '*3.1*'", "1"},
        Search{"Journal Q", "Q1", "Physics", "category='Physics' AND Q Like '*Q1*'", "2"},
        Search{"Publisher/Address", "washington", "", " address Like '*washington*'", "2"},
        Search{"Journal Title", "الفيزياء", "", " Title Like '*الفيزياء*'", "1"},
        // "Admin Mode" and a text that names no field search nothing.
        Search{"Admin Mode", "optic", "Physics", "category='Physics'", "4"},
        Search{"Title", "optic", "", "", "7"}));

// The administrator gate: exact code, exact case, and the "Admin Mode" field.
struct Gate {
    const char* field;
    const char* searchText;
    bool open;
};

class AdminGateTest : public WindowTest, public ::testing::WithParamInterface<Gate> {};

const char* const kAdminControls[] = {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn5", "BitBtn7", "Edit1",
                                      "Edit2",   "Edit3",   "Label1",  "Label2",  "Label3"};

TEST_P(AdminGateTest, EnablesTheAdminControlsOnlyForTheExactCode) {
    createLibrary();
    openWindow();
    retype("ComboBox4", GetParam().field);
    retype("Edit4", GetParam().searchText);
    for (const char* name : kAdminControls) {
        EXPECT_EQ(control<QWidget>(name)->isEnabled(), GetParam().open) << name;
    }
    EXPECT_FALSE(control<QWidget>("BitBtn4")->isEnabled() && control<QWidget>("BitBtn4")->isVisible());
    if (GetParam().open) {
        // The code narrows nothing: the grid shows the selection alone.
        EXPECT_EQ(text("Label7"), "7");
        EXPECT_EQ(text("Label13"), "Password:");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, AdminGateTest,
    ::testing::Values(Gate{"Admin Mode", "corvalsand", true}, Gate{"Admin Mode", "Corvalsand", false},
                      Gate{"Admin Mode", "corvalsand ", false}, Gate{"Admin Mode", "corvalsan", false},
                      Gate{"Journal Title", "corvalsand", false}, Gate{"admin mode", "corvalsand", false}));

TEST_F(WindowTest, AdminModeFollowsTheLastRunOfTheSearchOnly) {
    createLibrary();
    openWindow();
    activateWindow();
    QWidget* importButton = control<QWidget>("BitBtn2");

    // The code typed under another field searches for it; choosing "Admin Mode" afterwards only
    // changes the caption.
    retype("Edit4", "corvalsand");
    EXPECT_EQ(text("Label7"), "0");
    pick("ComboBox4", "Admin Mode");
    EXPECT_EQ(text("Label13"), "Password:");
    EXPECT_FALSE(importButton->isEnabled());
    EXPECT_EQ(text("Label7"), "0");

    // Editing the search text runs the gate again.
    retype("Edit4", "corvalsand");
    EXPECT_TRUE(importButton->isEnabled());
    EXPECT_EQ(text("Label7"), "7");

    // Another field: caption back, controls still enabled until the search runs again.
    pick("ComboBox4", "ISSN");
    EXPECT_EQ(text("Label13"), "Search for:");
    EXPECT_TRUE(importButton->isEnabled());

    // A category change runs the search: with "ISSN" chosen the code now closes the gate.
    retype("ComboBox1", "Physics");
    EXPECT_FALSE(importButton->isEnabled());

    retype("Edit4", "");
    EXPECT_EQ(window().ADOQuery1.filter(), "category='Physics'");
    EXPECT_EQ(text("Label7"), "4");
}

TEST_F(WindowTest, AnIndexButtonDropsTheSearchConditionUntilTheNextSearch) {
    createLibrary();
    openWindow();
    activateWindow();
    retype("Edit4", "optic");
    EXPECT_EQ(text("Label7"), "2");
    click("RadioButton3");
    EXPECT_EQ(window().ADOQuery1.filter(), "[Emerging Sources Citation Index] = True");
    EXPECT_EQ(text("Label7"), "2");
    click("RadioButton5");
    EXPECT_EQ(text("Label7"), "7");
    retype("ComboBox3", "Monthly");
    EXPECT_EQ(window().ADOQuery1.filter(), "Frequently='Monthly' AND Title Like '*optic*'");
    EXPECT_EQ(text("Label7"), "1");
}

}  // namespace
}  // namespace lumaref::test
