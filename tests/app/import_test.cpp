// The master-list import through the window: Browse, Import, the boxes, the database file.
#include <QDir>

#include <sqlite3.h>

#include "app/window_fixture.h"
#include "support/case_name.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

using namespace std::string_literals;

class ImportTest : public WindowTest {
protected:
    void SetUp() override { createLibrary(); }

    void open() {
        openWindow();
        enterAdminMode();
    }
    // Writes a master list below the test's directory and returns its absolute path.
    QString masterList(const std::string& relative, std::string_view bytes) {
        const std::string path = QDir::currentPath().toStdString() + "/" + relative;
        writeFile(path, bytes);
        return QString::fromStdString(path);
    }
    void browseTo(const QString& path) {
        prompts.dialogAnswers.push_back(path);
        click("BitBtn1");
    }
    std::string stored(const std::string& sql) { return queryText(databasePath(), sql); }
    std::string storedCount() { return stored("SELECT count(*) FROM journals"); }
    QString edit(const char* name) { return control<QLineEdit>(name)->text(); }
};

TEST_F(ImportTest, BrowseProposesCategoryAndSubjectAndRemembersTheFile) {
    open();
    browseTo("/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(edit("Edit1"), "/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(edit("Edit2"), "Medicine");
    EXPECT_EQ(edit("Edit3"), "Cardiology");

    browseTo("/Optics");
    EXPECT_EQ(edit("Edit1"), "/Optics");
    EXPECT_EQ(edit("Edit2"), "");
    EXPECT_EQ(edit("Edit3"), "Optics");

    click("BitBtn1");  // cancelled
    EXPECT_EQ(edit("Edit1"), "/Optics");
    EXPECT_EQ(edit("Edit3"), "Optics");
    const std::vector<ScriptedPrompts::Shown>& shown = prompts.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "");
    EXPECT_EQ(shown[1].text, "/srv/lists/Medicine/Cardiology.2018.txt");
    EXPECT_EQ(shown[2].text, "/Optics");
}

// The designed entry, a title right after a title, addresses with ". " after an E-ISSN and after an
// ISSN alone, a numbered title where an address is due, and a heading that matches nothing, in CR LF
// lines after a byte-order mark.
constexpr std::string_view kMasterList =
    "\xEF\xBB\xBFMaster Journal List\r\n"
    "Total journals: 3\r\n"
    "\r\n"
    "1. Circulation Research\r\n"
    "Monthly\r\n"
    "ISSN: 0009-7330\r\n"
    "E-ISSN: 1524-4571\r\n"
    "Lippincott Williams & Wilkins, Philadelphia, USA\r\n"
    "Science Citation Index Expanded\r\n"
    "Current Contents - Life Sciences\r\n"
    "Current Contents - Clinical Medicine\r\n"
    "\r\n"
    "2. Heart Notes\r\n"
    "3. Caf\xC3\xA9 Cardiology\r\n"
    "Quarterly\r\n"
    "E-ISSN: 2222-0003\r\n"
    "Old St. Louis Press\r\n"
    "Bimonthly\r\n"
    "Arts & Humanities Citation Index\r\n"
    "4. Optics Notes\r\n"
    "ISSN: 0146-9592\r\n"
    "2010 Massachusetts Ave. NW, Washington, DC\r\n"
    "5. Numbered Right After\r\n"
    "ISSN: 0146-9593\r\n"
    "6. Next Entry\r\n";

TEST_F(ImportTest, ImportsEveryEntryIntoTheDatabaseFile) {
    open();
    browseTo(masterList("Medicine/Cardiology.txt", kMasterList));
    const int rowsBefore = gridRows();
    const QString filter = QString::fromStdString(journals().filter());
    click("BitBtn2");

    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 6 recordes were imported."}));
    EXPECT_EQ(statusText(), "Master list: 6 records added from Cardiology.txt");
    EXPECT_EQ(storedCount(), "13");
    auto field = [&](const std::string& title, const std::string& name) {
        return stored("SELECT \"" + name + "\" FROM journals WHERE Title = " + sqlQuoted(title));
    };
    struct Expected {
        const char* field;
        const char* value;
    };
    const Expected circulation[] = {{"Frequently", "Monthly"},
                                    {"ISSN", "0009-7330"},
                                    {"E-ISSN", "1524-4571"},
                                    {"Address", "Lippincott Williams & Wilkins, Philadelphia, USA"},
                                    {"Science Citation Index", "0"},
                                    {"Science Citation Index Expanded", "1"},
                                    {"Emerging Sources Citation Index", "0"},
                                    {"Arts Humanities Citation Index", "0"},
                                    {"Current_Contents1", "Life Sciences"},
                                    {"Current_Contents2", "Clinical Medicine"},
                                    {"IF", ""},
                                    {"Q", ""},
                                    {"category", "Medicine"},
                                    {"subject", "Cardiology"}};
    for (const Expected& e : circulation)
        EXPECT_EQ(field("Circulation Research", e.field), e.value) << e.field;
    EXPECT_EQ(
        stored("SELECT typeof(IF) || typeof(\"Total Cites\") FROM journals WHERE Title = 'Heart Notes'"),
        "nullnull");
    EXPECT_EQ(field("Heart Notes", "Frequently"), "");
    EXPECT_EQ(field("Heart Notes", "category"), "Medicine");
    EXPECT_EQ(field("Caf\xC3\xA9 Cardiology", "Frequently"), "Quarterly");
    EXPECT_EQ(field("Caf\xC3\xA9 Cardiology", "Address"), "Old St. Louis Press");
    EXPECT_EQ(field("Caf\xC3\xA9 Cardiology", "Arts Humanities Citation Index"), "1");
    EXPECT_EQ(field("Optics Notes", "Address"), "2010 Massachusetts Ave. NW, Washington, DC");
    EXPECT_EQ(field("Numbered Right After", "ISSN"), "0146-9593");
    EXPECT_EQ(field("Next Entry", "Address"), "");

    // The new records are in the grid; filter and counters are as they were.
    EXPECT_EQ(gridRows(), rowsBefore + 6);
    EXPECT_EQ(QString::fromStdString(journals().filter()), filter);
    EXPECT_EQ(text("Label7"), "7");
}

TEST_F(ImportTest, BoxesAreUsedAsTheyStandWithARelativePath) {
    writeFile("list.txt", "1. Typed In\r\n");
    open();
    retype("Edit1", "list.txt");
    click("BitBtn2");
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 1 recordes were imported."}));
    EXPECT_EQ(stored("SELECT category || '|' || subject FROM journals WHERE Title = 'Typed In'"),
              "Type a category for input data |Type a subject for input data");
}

TEST_F(ImportTest, AFileWithoutEntriesImportsNothing) {
    open();
    for (const std::string& bytes : {""s, "Master Journal List\r\n\r\nwww.example.org\r\n"s,
                                     "\x1A"
                                     "1. A\r\n"s}) {
        prompts.clear();
        browseTo(masterList("Physics/Empty.txt", bytes));
        click("BitBtn2");
        EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 0 recordes were imported."})) << bytes;
        EXPECT_EQ(prompts.errors(), QStringList());
    }
    EXPECT_EQ(storedCount(), "7");
}

// A second import starts with clear flags: its first line is no frequency of the first's last title.
TEST_F(ImportTest, TwoImportsInARowDoNotInterfere) {
    open();
    browseTo(masterList("Physics/One.txt", "1. First\r\nISSN: 1\r\n2. Second"));
    click("BitBtn2");
    browseTo(masterList("Physics/Two.txt", "Monthly\r\n1. Third\r\n"));
    click("BitBtn2");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(),
              QStringList({"Finish! - 2 recordes were imported.", "Finish! - 1 recordes were imported."}));
    EXPECT_EQ(stored("SELECT group_concat(Title || '/' || ifnull(Frequently, '-'), ' ') FROM journals "
                     "WHERE category = 'Physics' AND subject IN ('One', 'Two')"),
              "First/- Second/- Third/-");
}

// Older Windows programs, stray bytes, huge lines and no line break at all still import.
TEST_F(ImportTest, UnusualBytesImportWithoutLoss) {
    open();
    const std::string bigAddress(std::size_t{3} * 1024 * 1024, 'a');
    const std::string bytes = "1. Caf\xE9 R\xE9sum\xE9\r\nMonthly\r\nE-ISSN: 1\r\n" + bigAddress +
                              "\r\n2. Nul\0Byte\r\n3. "s + std::string(std::size_t{2} * 1024 * 1024, 't') +
                              "\r\n4. Last";
    browseTo(masterList("Physics/Odd.txt", bytes));
    click("BitBtn2");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 4 recordes were imported."}));
    EXPECT_EQ(stored("SELECT Frequently FROM journals WHERE Title = 'Caf\xC3\xA9 R\xC3\xA9sum\xC3\xA9'"),
              "Monthly");
    EXPECT_EQ(stored("SELECT length(Address) FROM journals WHERE Frequently = 'Monthly' AND subject = 'Odd'"),
              std::to_string(bigAddress.size()));
    EXPECT_EQ(stored("SELECT length(Title) FROM journals WHERE Title LIKE 'ttt%'"), "255");
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE subject = 'Odd'"), "4");
    EXPECT_EQ(stored("SELECT hex(Title) FROM journals WHERE Title LIKE 'Nul%'"), "4E756C0042797465");
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE Title = 'Last'"), "1");
}

struct Failure {
    const char* name;
    std::string edit1;  // relative to the test's directory
    std::string bytes;  // written to list.txt
    const char* error;  // as the error box shows it
    const char* storedTitles;
    std::string category = "Imported";
    std::string subject = "Type a subject for input data";
};

void PrintTo(const Failure& f, std::ostream* out) { *out << f.name; }

class ImportFailureTest : public ImportTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ImportFailureTest, EndsTheRunWithItsErrorAndKeepsWhatWasPosted) {
    // The database refuses one title, as it would refuse a record breaking a rule of its own.
    execSql(databasePath(),
            "CREATE TRIGGER refuse BEFORE INSERT ON journals WHEN NEW.Title = 'Refused' "
            "BEGIN SELECT RAISE(ABORT, 'The record was refused'); END;");
    writeFile("list.txt", GetParam().bytes);
    writeFile("folder/x.txt", "");
    open();
    retype("Edit1", QString::fromStdString(GetParam().edit1));
    retype("Edit2", QString::fromStdString(GetParam().category));
    retype("Edit3", QString::fromStdString(GetParam().subject));
    const std::string countBefore = storedCount();
    click("BitBtn2");
    EXPECT_EQ(prompts.messages(), QStringList());
    EXPECT_EQ(prompts.errors(), QStringList({GetParam().error}));
    EXPECT_EQ(stored("SELECT ifnull(group_concat(Title, ' '), '') FROM journals WHERE category = 'Imported'"),
              GetParam().storedTitles);
    if (std::string_view(GetParam().storedTitles).empty()) {
        EXPECT_EQ(storedCount(), countBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, ImportFailureTest,
    ::testing::Values(
        Failure{"InitialText", "Select a text file to import data into the program database...", "",
                "File not found.", ""},
        Failure{"MissingFile", "missing.txt", "", "File not found.", ""},
        Failure{"MissingFolder", "nowhere/list.txt", "", "Invalid filename.", ""},
        Failure{"BelowAFile", "list.txt/x.txt", "", "Invalid filename.", ""},
        Failure{"Folder", "folder", "", "File access denied.", ""},
        Failure{"FieldLineFirst", "list.txt", "ISSN: 1\r\n1. A\r\n",
                "ADOQuery1: Dataset not in edit or insert mode.", ""},
        Failure{"RefusedByTheNextAppend", "list.txt", "1. Good\r\n2. Refused\r\nMonthly\r\n3. Later\r\n",
                "The record was refused.", "Good"},
        Failure{"RefusedByTheFinalPost", "list.txt", "1. Good\r\n2. Fine\r\n3. Refused\r\n",
                "The record was refused.", "Good Fine"},
        // Category and subject are checked before the first line is read.
        Failure{"EmptyCategory", "list.txt", "1. A\r\n",
                "Nothing was imported: the category is empty. Type a category for the imported "
                "journals.",
                "", " \t"},
        Failure{"EmptySubject", "list.txt", "1. A\r\n",
                "Nothing was imported: the subject is empty. Type a subject for the imported "
                "journals.",
                "", "Imported", ""},
        Failure{"SlashInCategory", "list.txt", "1. A\r\n",
                "Nothing was imported: the category \"Medicine/Heart\" is not a valid file name. "
                "It must not contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Medicine/Heart"},
        Failure{"BackslashInSubject", "list.txt", "1. A\r\n",
                "Nothing was imported: the subject \"a\\b\" is not a valid file name. It must "
                "not contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Imported", "a\\b"},
        Failure{"DotDotSubject", "list.txt", "1. A\r\n",
                "Nothing was imported: the subject \"..\" is not a valid file name. It must not "
                "contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Imported", ".."},
        Failure{"DotCategory", "list.txt", "1. A\r\n",
                "Nothing was imported: the category \".\" is not a valid file name. It must not "
                "contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "."}),
    test::CaseName());

// An import that another program's lock stops cancels the record it was filling: no later action posts
// it, and the retry the message invites stores each entry once. The retry starts with flags cleared,
// or its first line would set the address of a record that is not there.
TEST_F(ImportTest, ALockedDatabaseCancelsTheRecordBeingFilledAndARetryStoresEachEntryOnce) {
    writeProgramFile("lists/subjects/Physics.txt", "");
    JournalDatabase& data = openWindowOnOwnDatabase();
    data.connection.setBusyTimeoutMs(20);
    enterAdminMode();
    browseTo(masterList("Physics/Lenses.txt", "Optics Street 1\r\n1. Alpha\r\nE-ISSN: 5\r\n2. Beta\r\n"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(databasePath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    click("BitBtn2");
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(prompts.errors(),
              QStringList({"Could not update; the database is locked by another program. Try again later."}));
    EXPECT_EQ(journals().state(), RecordSet::State::Browse);

    prompts.clear();
    click("BitBtn5");  // walks every journal: a pending record would be posted here
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE subject = 'Lenses'"), "0");

    click("BitBtn2");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages().last(), "Finish! - 2 recordes were imported.");
    EXPECT_EQ(
        stored("SELECT group_concat(Title || '/' || ifnull(\"E-ISSN\", '-') || '/' || ifnull(Address, '-'), "
               "' ') FROM journals WHERE subject = 'Lenses'"),
        "Alpha/5/- Beta/-/-");
}

}  // namespace
}  // namespace lumaref::test
