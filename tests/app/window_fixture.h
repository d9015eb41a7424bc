#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal_database.h"
#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref::test {

// Seven journals with every field the browsing reads, Arabic and a single quote included.
extern const std::vector<TestJournal> kLibrary;

// A control of the window by what it does, named as MainWindow names its member. Tests reach the
// controls by role; the definitions of the roles in window_fixture.cpp are the one table of the
// design's component names, which are the controls' objectNames.
struct Role {
    const char* objectName;
    bool operator==(const Role& other) const { return std::string_view(objectName) == other.objectName; }

    static const Role ImportFileLabel, ImportFileEdit, BrowseButton, ImportCategoryLabel, ImportCategoryEdit,
        ImportSubjectLabel, ImportSubjectEdit, ImportButton, CategoryBox, SubjectBox, FrequencyBox,
        UpdateListsButton, UpdateCategoriesButton, UpdateFrequenciesButton, SciButton, ScieButton, EsciButton,
        AhciButton, AllIndexesButton, FirstRecordButton, PriorRecordButton, NextRecordButton,
        LastRecordButton, SaveButton, SearchFieldBox, SearchTextLabel, SearchEdit, Grid, RecordCountLabel,
        CurrentRecordLabel, ProgressBar, UpdateQuartilesButton, UpdateImpactFactorsButton, StatusBar;
};

void PrintTo(const Role& role, std::ostream* out);  // a failure names the control by its objectName

// The administrator controls, in the order the gate sets them.
extern const std::vector<Role> kAdminControls;

// Each test gets its own directory as current directory, with Database.mdb in it and the program
// directory (list files) below it, and builds the window there.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();

    std::string programDir() const { return dir_.file("program"); }
    std::string databasePath() const { return dir_.file("Database.mdb"); }
    // Creates Database.mdb with the given journals, and the list files of their categories and frequencies.
    void createLibrary(const std::vector<TestJournal>& journals = kLibrary);
    void writeProgramFile(std::string_view relative, std::string_view bytes);
    // Carries Database.mdb and the program's list files onto a PostgreSQL database, as lumaref-convert
    // does: the tables, then the pick lists' table.
    void copyLibraryToServer(const std::string& conninfo);

    // The window in one call: it opens Database.mdb in the current directory itself.
    MainWindow& openWindow();
    // The window over a database the test holds, as main() builds it, for a test that drives the
    // journals the way program code does; Database.mdb unless another connection is named, with where
    // the settings named it.
    JournalDatabase& openWindowOnOwnDatabase(const std::string& connectionString = kDefaultConnectionString,
                                             const std::string& origin = {});
    // Shows the window and waits until it is active, as a user's first sight of it.
    void activateWindow();
    MainWindow& window() { return *window_; }
    const RecordSet& journals() { return window_->database().journals; }
    // Chooses "Admin Mode" and types the access code.
    void enterAdminMode();
    // The administrator controls that are enabled, in the order the gate sets them.
    std::vector<Role> enabledAdminControls();

    template <class T = QWidget>
    T* control(Role role) {
        T* found = window_->findChild<T*>(QString::fromLatin1(role.objectName));
        EXPECT_NE(found, nullptr) << role.objectName;
        return found;
    }
    QString text(Role label) { return control<QLabel>(label)->text(); }
    QStringList items(Role box);  // a combo box's pick list, in order
    QString statusText();         // what the status bar says now
    QLineEdit* lineEditOf(Role editOrBox);
    // Replaces the text of an edit box or a combo box's line edit by typing, key by key.
    void retype(Role editOrBox, const QString& text);
    void pick(Role box, const QString& item);  // through the drop-down list
    void click(Role button);
    int gridRows();

    ScriptedPrompts prompts;

private:
    TempDir dir_;
    CurrentDir cwd_;
    std::unique_ptr<JournalDatabase> database_;  // outlives the window built over it
    std::unique_ptr<MainWindow> window_;
};

}  // namespace lumaref::test
