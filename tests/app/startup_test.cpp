#include <QAbstractButton>
#include <QDir>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <cstdio>

#include <functional>

#include "app/window_fixture.h"
#include "support/case_name.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

TEST_F(WindowTest, OpensOnEveryJournalWithTheDesignedStartState) {
    createLibrary();
    openWindow();

    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(window().windowTitle(), "Lumaref v 1.0");
    EXPECT_EQ(text(Role::RecordCountLabel), "7");
    EXPECT_EQ(text(Role::CurrentRecordLabel), "0");
    EXPECT_EQ(text(Role::SearchTextLabel), "Search for:");
    EXPECT_EQ(gridRows(), 7);
    EXPECT_EQ(control<QComboBox>(Role::SearchFieldBox)->currentText(), "Journal Title");
    EXPECT_TRUE(control<QRadioButton>(Role::AllIndexesButton)->isChecked());
    EXPECT_EQ(items(Role::CategoryBox), QStringList({"Physics", "O'Brien Category", "Chemistry", "فيزياء"}));
    EXPECT_EQ(items(Role::FrequencyBox), QStringList({"Monthly", "Weekly", "Quarterly"}));
    // Loading a pick list leaves its text alone: nothing is chosen at start-up.
    for (const Role box : {Role::CategoryBox, Role::SubjectBox, Role::FrequencyBox}) {
        EXPECT_EQ(control<QComboBox>(box)->currentText(), "") << box.objectName;
    }
    EXPECT_EQ(control<QComboBox>(Role::SubjectBox)->count(), 0);
    EXPECT_EQ(lineEditOf(Role::SearchEdit)->text(), "");
    EXPECT_EQ(enabledAdminControls(), std::vector<Role>());
    EXPECT_TRUE(control(Role::SaveButton)->isEnabled());
    EXPECT_EQ(journals().filter(), "");
    EXPECT_TRUE(journals().filtered());

    activateWindow();
    EXPECT_FALSE(control(Role::UpdateCategoriesButton)->isVisible());
    EXPECT_FALSE(control(Role::UpdateFrequenciesButton)->isVisible());
    EXPECT_FALSE(control<QProgressBar>(Role::ProgressBar)->isVisible());
    // The grid leads the tab order: it takes the focus, and its enter event fills the current number.
    EXPECT_EQ(QApplication::focusWidget(), control(Role::Grid));
    EXPECT_EQ(text(Role::CurrentRecordLabel), "1");
}

TEST_F(WindowTest, AnEmptyJournalTableShowsMinusOneOnceTheGridHasTheFocus) {
    createLibrary({});
    openWindow();
    activateWindow();
    EXPECT_EQ(text(Role::RecordCountLabel), "0");
    EXPECT_EQ(text(Role::CurrentRecordLabel), "-1");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(WindowTest, EveryControlOfTheWindowIsThereByName) {
    createLibrary();
    openWindow();
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8",
                             "Label9", "Label10", "Label11", "Label12", "Label13"}) {
        EXPECT_NE(window().findChild<QLabel*>(name), nullptr) << name;
    }
    for (const char* name :
         {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn7", "BitBtn8"}) {
        EXPECT_NE(window().findChild<QAbstractButton*>(name), nullptr) << name;
    }
    for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4"}) {
        auto* box = window().findChild<QComboBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_TRUE(box->isEditable()) << name;
        EXPECT_EQ(box->layoutDirection(), Qt::RightToLeft) << name;
    }
    auto* navigator = window().findChild<QWidget*>("DBNavigator1");
    ASSERT_NE(navigator, nullptr);
    for (const char* name : {"nbFirst", "nbPrior", "nbNext", "nbLast"}) {
        EXPECT_NE(navigator->findChild<QAbstractButton*>(name), nullptr) << name;
    }
}

// Start-up failures: each failing component reports itself, the start-up handler stops at its
// first failure, and the window opens all the same.
struct StartupPaths {
    std::string program;
    std::string database;
};

struct StartupFailure {
    const char* name;
    std::function<std::string(const StartupPaths&)> spoil;  // returns the path the errors name
    std::function<QStringList(const std::string&)> errors;
    const char* recordCount;
    const char* searchField;
    int frequencies;
};

void PrintTo(const StartupFailure& failure, std::ostream* out) { *out << failure.name; }

class StartupFailureTest : public WindowTest, public ::testing::WithParamInterface<StartupFailure> {};

const char* const kClosed = "ADOQuery1: Cannot perform this operation on a closed dataset.";

std::string removed(const std::string& path) {
    std::remove(path.c_str());
    return path;
}

QStringList cannotOpen(const std::string& path) {
    return {QString::fromStdString("Cannot open file \"" + path + "\". No such file or directory.")};
}

TEST_P(StartupFailureTest, ReportsEachFailureAndStillOpens) {
    createLibrary();
    const std::string path = GetParam().spoil({programDir(), databasePath()});
    openWindow();
    EXPECT_EQ(prompts.errors(), GetParam().errors(path));
    EXPECT_EQ(text(Role::RecordCountLabel), GetParam().recordCount);
    EXPECT_EQ(control<QComboBox>(Role::SearchFieldBox)->currentText(), GetParam().searchField);
    EXPECT_EQ(control<QComboBox>(Role::FrequencyBox)->count(), GetParam().frequencies);
}

INSTANTIATE_TEST_SUITE_P(
    Window, StartupFailureTest,
    ::testing::Values(
        StartupFailure{"NoDatabase", [](const StartupPaths& at) { return removed(at.database); },
                       [](const std::string& path) {
                           // The connection, then each record set trying to connect again.
                           const QString missing =
                               QString::fromStdString("Could not find file '" + path + "'.");
                           return QStringList{missing, missing, missing, missing,
                                              missing, missing, missing, kClosed};
                       },
                       "0", "Journal Title", 3},
        StartupFailure{"NoQuartileTable",
                       [](const StartupPaths& at) {
                           execSql(at.database, "DROP TABLE JCRQ3;");
                           return std::string();
                       },
                       [](const std::string&) {
                           return QStringList{
                               "Cannot find the input table or query 'JCRQ3'. Make sure it exists "
                               "and that its name is spelled correctly."};
                       },
                       "7", "Journal Title", 3},
        StartupFailure{"NoCategoriesFile",
                       [](const StartupPaths& at) { return removed(at.program + "/lists/categories.txt"); },
                       cannotOpen, "0", "", 0},
        StartupFailure{"NoFrequenciesFile",
                       [](const StartupPaths& at) { return removed(at.program + "/lists/ferequently.txt"); },
                       cannotOpen, "0", "", 0}),
    test::CaseName());

TEST_F(WindowTest, WithTheJournalsClosedEveryGridEventReportsTheClosedDataset) {
    createLibrary();
    std::remove(databasePath().c_str());
    openWindow();
    activateWindow();
    prompts.clear();
    click(Role::NextRecordButton);
    QTest::mouseMove(control<QTableView>(Role::Grid)->viewport(), QPoint(40, 40));
    ASSERT_GE(prompts.errors().size(), 2);
    for (const QString& error : prompts.errors()) EXPECT_EQ(error, kClosed);
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "0");
}

}  // namespace
}  // namespace lumaref::test
