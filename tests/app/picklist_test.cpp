#include "app/window_fixture.h"
#include "support/case_name.h"

namespace lumaref::test {
namespace {

class PickListTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        writeProgramFile("lists/subjects/Physics.txt", "Optics\r\nMechanics\r\n");
        openWindow();
        activateWindow();
    }
    QComboBox* subjects() { return control<QComboBox>(Role::SubjectBox); }
};

TEST_F(PickListTest, ChoosingACategoryLoadsItsSubjectsAndClearsTheSubjectText) {
    retype(Role::SubjectBox, "Mechanics");
    pick(Role::CategoryBox, "Physics");
    EXPECT_EQ(items(Role::SubjectBox), QStringList({"Optics", "Mechanics"}));
    EXPECT_EQ(subjects()->currentText(), "");
    EXPECT_EQ(text(Role::RecordCountLabel), "4");

    pick(Role::SubjectBox, "Mechanics");
    EXPECT_EQ(journals().filter(), "category='Physics' AND subject='Mechanics'");
    EXPECT_EQ(text(Role::RecordCountLabel), "1");
}

TEST_F(PickListTest, ACategoryWithoutSubjectFileKeepsTheOldItemsButClearsTheText) {
    retype(Role::CategoryBox, "Physics");
    retype(Role::SubjectBox, "Optics");
    retype(Role::CategoryBox, "Chemistry");
    EXPECT_EQ(items(Role::SubjectBox), QStringList({"Optics", "Mechanics"}));
    EXPECT_EQ(subjects()->currentText(), "");
    EXPECT_EQ(text(Role::RecordCountLabel), "1");
}

TEST_F(PickListTest, ClearingTheCategoryKeepsTheSubjectInForce) {
    retype(Role::CategoryBox, "Physics");
    retype(Role::SubjectBox, "Optics");
    retype(Role::CategoryBox, "");
    EXPECT_EQ(subjects()->currentText(), "Optics");
    EXPECT_EQ(items(Role::SubjectBox), QStringList({"Optics", "Mechanics"}));
    EXPECT_EQ(journals().filter(), "subject='Optics'");
    EXPECT_EQ(text(Role::RecordCountLabel), "3");
}

// A category text never reaches a file outside lists/subjects, nor a name made of dots.
struct Escape {
    const char* name;
    const char* category;
    const char* planted;  // a list file the category would reach if it were used as a path
};

void PrintTo(const Escape& escape, std::ostream* out) { *out << escape.name; }

class SubjectPathTest : public WindowTest, public ::testing::WithParamInterface<Escape> {};

TEST_P(SubjectPathTest, FindsNoSubjectFileOutsideTheSubjectFolder) {
    createLibrary();
    writeProgramFile(GetParam().planted, "Leaked\r\n");
    openWindow();
    retype(Role::CategoryBox, QString::fromUtf8(GetParam().category));
    EXPECT_EQ(control<QComboBox>(Role::SubjectBox)->count(), 0);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(text(Role::RecordCountLabel), "0");
}

INSTANTIATE_TEST_SUITE_P(Window, SubjectPathTest,
                         ::testing::Values(Escape{"ParentFolder", "../secret", "lists/secret.txt"},
                                           Escape{"TwoFoldersUp", "../../lists/categories",
                                                  "lists/categories.txt"},
                                           Escape{"DotDot", "..", "lists/subjects/...txt"},
                                           Escape{"Dot", ".", "lists/subjects/..txt"},
                                           Escape{"Backslash", "a\\b", "lists/subjects/a\\b.txt"},
                                           Escape{"Subfolder", "sub/x", "lists/subjects/sub/x.txt"}),
                         test::CaseName());

TEST_F(WindowTest, ListFilesKeepEveryLineWhateverItsBreak) {
    createLibrary();
    // Lone CR, lone LF, an empty line, no final break, Windows-1252 text, and a Ctrl-Z ending it all;
    // the other list saved as "Unicode text".
    const char categories[] = "Physics\rChemistry\n\nCaf\xe9\r\nLast\x1AHidden\0";
    writeProgramFile("lists/categories.txt", std::string(categories, sizeof categories - 1));
    const char frequencies[] = "\xFF\xFEM\0o\0n\0t\0h\0l\0y\0";
    writeProgramFile("lists/ferequently.txt", std::string(frequencies, sizeof frequencies - 1));
    openWindow();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(items(Role::CategoryBox),
              QStringList({"Physics", "Chemistry", "", QString::fromUtf8("Café"), "Last"}));
    EXPECT_EQ(items(Role::FrequencyBox), QStringList({"Monthly"}));
}

}  // namespace
}  // namespace lumaref::test
