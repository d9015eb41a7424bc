// The master-list import through the window: Browse, Import, the boxes, the messages. What each
// line stores is the import's own tests.
#include <QDir>

#include <thread>

#include "app/window_fixture.h"
#include "support/temp_database.h"
#include "text/stop_request.h"

namespace lumaref::test {
namespace {

class ImportTest : public WindowTest {
protected:
    void SetUp() override { createLibrary(); }

    void open() {
        openWindow();
        enterAdminMode();
    }
    void browseTo(const QString& path) {
        prompts.dialogAnswers.push_back(path);
        click(Role::BrowseButton);
    }
    std::string stored(const std::string& sql) { return queryText(databasePath(), sql); }
    QString edit(Role role) { return control<QLineEdit>(role)->text(); }
};

// Which names a path proposes is the import path's own table; here they reach the boxes.
TEST_F(ImportTest, BrowseProposesCategoryAndSubjectAndRemembersTheFile) {
    open();
    browseTo("/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(edit(Role::ImportFileEdit), "/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(edit(Role::ImportCategoryEdit), "Medicine");
    EXPECT_EQ(edit(Role::ImportSubjectEdit), "Cardiology");

    click(Role::BrowseButton);  // cancelled
    EXPECT_EQ(edit(Role::ImportFileEdit), "/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(edit(Role::ImportSubjectEdit), "Cardiology");
    const std::vector<ScriptedPrompts::Shown>& shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "");
    EXPECT_EQ(shown[1].text, "/srv/lists/Medicine/Cardiology.2018.txt");
}

TEST_F(ImportTest, ImportsTheChosenFileAndReportsWhatItAdded) {
    writeFile("Medicine/Cardiology.txt",
              "Master Journal List\r\n1. Circulation Research\r\nMonthly\r\nE-ISSN: 1524-4571\r\n2. Heart "
              "Notes\r\n");
    open();
    browseTo(QDir::currentPath() + "/Medicine/Cardiology.txt");
    const int rowsBefore = gridRows();
    const QString filter = QString::fromStdString(journals().filter());
    click(Role::ImportButton);

    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 2 recordes were imported."}));
    EXPECT_EQ(statusText(), "Master list: 2 records added from Cardiology.txt");
    EXPECT_EQ(stored("SELECT group_concat(Title || '/' || category || '/' || subject, ' ') FROM journals "
                     "WHERE rowid > 7"),
              "Circulation Research/Medicine/Cardiology Heart Notes/Medicine/Cardiology");
    // The new records are in the grid; filter and counters are as they were.
    EXPECT_EQ(gridRows(), rowsBefore + 2);
    EXPECT_EQ(QString::fromStdString(journals().filter()), filter);
    EXPECT_EQ(text(Role::RecordCountLabel), "7");
}

// The boxes as they stand: a relative path, the boxes' first texts as category and subject.
TEST_F(ImportTest, AFailedImportShowsItsErrorAndKeepsWhatWasPosted) {
    execSql(databasePath(),
            "CREATE TRIGGER refuse BEFORE INSERT ON journals WHEN NEW.Title = 'Refused' "
            "BEGIN SELECT RAISE(ABORT, 'The record was refused'); END;");
    writeFile("list.txt", "1. Good\r\n2. Refused\r\n");
    open();
    retype(Role::ImportFileEdit, "missing.txt");
    click(Role::ImportButton);
    retype(Role::ImportFileEdit, "list.txt");
    click(Role::ImportButton);

    EXPECT_EQ(prompts.messages(), QStringList());
    EXPECT_EQ(prompts.errors(), QStringList({"File not found.", "The record was refused."}));
    EXPECT_EQ(stored("SELECT group_concat(Title || '|' || category || '|' || subject, ' ') FROM journals "
                     "WHERE rowid > 7"),
              "Good|Type a category for input data |Type a subject for input data");
}

// A file that is no text says why, and a list saved as "Unicode text" imports as any other; no "Finish!"
// without a reason.
TEST_F(ImportTest, AFileThatIsNoTextIsRefusedWithItsReason) {
    writeFile("binary.txt", std::string("1. Good\r\n2. Bad\0Byte\r\n", 21));
    writeFile("unicode.txt", std::string("\xFF\xFE"
                                         "1\0.\0 \0W\0i\0d\0e\0",
                                         16));
    open();
    retype(Role::ImportFileEdit, "binary.txt");
    click(Role::ImportButton);
    retype(Role::ImportFileEdit, "unicode.txt");
    click(Role::ImportButton);

    EXPECT_EQ(prompts.errors(),
              QStringList({"The file \"" + QDir::currentPath() +
                           "/binary.txt\" is not a text file: it holds NUL bytes at line 2. "
                           "Nothing was imported."}));
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 1 recordes were imported."}));
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals WHERE rowid > 7"), "Wide");
}

// A stop request (a signal) ends the import between two records: each record is posted whole or not at
// all, and no box appears over a window that is closing.
TEST_F(ImportTest, AStopRequestEndsTheImportBetweenRecordsWithoutABox) {
    constexpr int kEntries = 50000;
    std::string list;
    for (int i = 1; i <= kEntries; ++i)
        list += std::to_string(i) + ". Title " + std::to_string(i) + "\r\nMonthly\r\n";
    writeFile("long.txt", list);
    open();
    retype(Role::ImportFileEdit, "long.txt");
    // Asked for from another thread once the import is under way, as a signal handler would.
    std::thread stopper([path = databasePath()] {
        while (std::stoi(queryText(path, "SELECT count(*) FROM journals")) < 100) std::this_thread::yield();
        requestStop();
    });
    click(Role::ImportButton);
    stopper.join();
    EXPECT_TRUE(stopRequested());
    clearStopRequest();

    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList());
    const int added = std::stoi(stored("SELECT count(*) FROM journals WHERE rowid > 7"));
    EXPECT_GE(added, 93);
    EXPECT_LT(added, kEntries);
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE rowid > 7 AND Frequently IS NOT 'Monthly'"), "0");
}

}  // namespace
}  // namespace lumaref::test
