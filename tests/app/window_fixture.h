#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <string_view>

#include "app/journal_database.h"
#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "support/temp_dir.h"

namespace lumaref::test {

// One journal of a test database; index is 0 (none) or 1..4 for the four citation indexes.
struct TestJournal {
    const char* title;
    const char* category;
    const char* subject;
    const char* frequency;
    const char* issn = "";
    const char* eissn = "";
    const char* impactFactor = "";
    const char* quartile = "";
    int index = 0;
    const char* address = "";
};

std::string journalRowSql(const TestJournal& journal);

// Seven journals with every field the browsing reads, Arabic and a single quote included.
extern const std::vector<TestJournal> kLibrary;

// The administrator controls by name, in the order the gate sets them.
extern const QStringList kAdminControls;

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

    // The window in one call: it opens Database.mdb in the current directory itself.
    MainWindow& openWindow();
    // The window over a database the test holds, as main() builds it, for a test that drives the
    // journals the way program code does; Database.mdb unless another connection is named.
    JournalDatabase& openWindowOnOwnDatabase(const std::string& connectionString = kDefaultConnectionString);
    // Shows the window and waits until it is active, as a user's first sight of it.
    void activateWindow();
    MainWindow& window() { return *window_; }
    const RecordSet& journals() { return window_->database().journals; }
    // Chooses "Admin Mode" and types the access code.
    void enterAdminMode();
    // The names of the administrator controls that are enabled, in the order the gate sets them.
    QStringList enabledAdminControls();

    template <class T>
    T* control(const char* name) {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* labelName) { return control<QLabel>(labelName)->text(); }
    QString statusText();  // what the status bar says now
    QLineEdit* lineEditOf(const char* name);
    // Replaces the text of an edit box or a combo box's line edit by typing, key by key.
    void retype(const char* name, const QString& text);
    void pick(const char* comboName, const QString& item);  // through the drop-down list
    void click(const char* name);
    int gridRows();

    ScriptedPrompts prompts;

private:
    TempDir dir_;
    CurrentDir cwd_;
    std::unique_ptr<JournalDatabase> database_;  // outlives the window built over it
    std::unique_ptr<MainWindow> window_;
};

}  // namespace lumaref::test
