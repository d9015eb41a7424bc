#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include <filesystem>
#include <set>

#include "app/window_fixture.h"
#include "support/case_name.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Every file below a folder, relative to it.
std::set<std::string> filesBelow(const std::string& dir) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_directory()) files.insert(fs::relative(entry.path(), dir).string());
    }
    return files;
}

// The user's way to "Update lists": administrator mode, then a click on the button.
class ListRebuildTest : public WindowTest {
protected:
    void openAsAdministrator() {
        openWindow();
        activateWindow();
        enterAdminMode();
    }
    std::string listFile(std::string_view relative) {
        return readFile(programDir() + "/" + std::string(relative));
    }
    QComboBox* box(Role role) { return control<QComboBox>(role); }
};

// Case, blanks, empty values and quotes: each distinct value once, in order of first appearance.
const std::vector<TestJournal> kMixed = {
    {"A", "Physics", "Optics", "Monthly"},
    {"B", "Biology", "Genetics", ""},
    {"C", "Physics", "Mechanics", "Weekly"},
    {"D", "physics", "Acoustics", "Monthly"},
    {"E", "O'Brien", "", "Quarterly"},
    {"F", "Chemistry", "Organic", "Weekly"},
    {"G", "", "Misc", "monthly"},
    {"H", "Physics", "Optics", "Monthly"},
    {"I", "Biology", " Genetics", "Weekly"},
};

TEST_F(ListRebuildTest, RewritesEveryListAndLeavesTheJournalsUnfilteredOnTheLastRow) {
    createLibrary(kMixed);
    writeProgramFile("lists/subjects/Physics.txt", "Old Optics\r\n");
    writeProgramFile("lists/subjects/Retired.txt", "Kept\r\n");
    openAsAdministrator();
    retype(Role::CategoryBox, "Physics");
    retype(Role::SubjectBox, "Optics");
    const QString count = text(Role::RecordCountLabel);
    const QString current = text(Role::CurrentRecordLabel);
    ASSERT_EQ(count, "2");

    click(Role::UpdateListsButton);

    EXPECT_EQ(prompts.messages(), QStringList({"Finish!"}));
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_EQ(listFile("lists/categories.txt"),
              "Physics\r\nBiology\r\nphysics\r\nO'Brien\r\nChemistry\r\n\r\n");
    EXPECT_EQ(listFile("lists/ferequently.txt"), "Monthly\r\nWeekly\r\nQuarterly\r\nmonthly\r\n");
    // The subject filter's equality ignores letter case, as every filter of the record set does.
    EXPECT_EQ(listFile("lists/subjects/Physics.txt"), "Optics\r\nMechanics\r\nAcoustics\r\n");
    EXPECT_EQ(listFile("lists/subjects/physics.txt"), "Optics\r\nMechanics\r\nAcoustics\r\n");
    EXPECT_EQ(listFile("lists/subjects/Biology.txt"), "Genetics\r\n Genetics\r\n");
    EXPECT_EQ(listFile("lists/subjects/O'Brien.txt"), "\r\n");
    EXPECT_EQ(listFile("lists/subjects/Chemistry.txt"), "Organic\r\n");
    EXPECT_EQ(listFile("lists/subjects/.txt"), "Misc\r\n");
    EXPECT_EQ(listFile("lists/subjects/Retired.txt"), "Kept\r\n");
    EXPECT_EQ(filesBelow(programDir() + "/lists").size(), 9u);

    EXPECT_EQ(items(Role::CategoryBox),
              QStringList({"Physics", "Biology", "physics", "O'Brien", "Chemistry", ""}));
    EXPECT_EQ(items(Role::FrequencyBox), QStringList({"Monthly", "Weekly", "Quarterly", "monthly"}));
    EXPECT_EQ(box(Role::CategoryBox)->currentText(), "");
    EXPECT_EQ(box(Role::FrequencyBox)->currentText(), "");
    // No change handler ran: the subject list was not reloaded and the filter was not rebuilt.
    EXPECT_EQ(items(Role::SubjectBox), QStringList({"Old Optics"}));
    EXPECT_EQ(box(Role::SubjectBox)->currentText(), "Optics");
    EXPECT_FALSE(journals().filtered());
    EXPECT_EQ(journals().filter(), "category =''");
    EXPECT_EQ(journals().recNo(), 9);
    EXPECT_TRUE(journals().eof());
    EXPECT_EQ(gridRows(), 9);
    EXPECT_EQ(text(Role::RecordCountLabel), count);
    EXPECT_EQ(text(Role::CurrentRecordLabel), current);
}

TEST_F(ListRebuildTest, WithNoJournalsWritesEmptyListsAndKeepsTheFilterText) {
    createLibrary({});
    writeProgramFile("lists/categories.txt", "Old\r\n");
    writeProgramFile("lists/ferequently.txt", "Old\r\n");
    writeProgramFile("lists/subjects/Old.txt", "Kept\r\n");
    openAsAdministrator();
    retype(Role::FrequencyBox, "Old");
    ASSERT_EQ(journals().filter(), "Frequently='Old'");

    click(Role::UpdateListsButton);

    EXPECT_EQ(prompts.messages(), QStringList({"Finish!"}));
    EXPECT_EQ(listFile("lists/categories.txt"), "");
    EXPECT_EQ(listFile("lists/ferequently.txt"), "");
    EXPECT_EQ(filesBelow(programDir() + "/lists/subjects"), std::set<std::string>({"Old.txt"}));
    EXPECT_EQ(box(Role::CategoryBox)->count(), 0);
    EXPECT_EQ(box(Role::FrequencyBox)->count(), 0);
    EXPECT_EQ(box(Role::FrequencyBox)->currentText(), "");
    EXPECT_FALSE(journals().filtered());
    EXPECT_EQ(journals().filter(), "Frequently='Old'");
    EXPECT_EQ(journals().recNo(), -1);
}

TEST_F(ListRebuildTest, KeepsEveryValueBeyondTwoHundredCategoriesAndSubjects) {
    std::string sql = "BEGIN;\n";
    std::vector<std::string> categories;
    std::string bigSubjects;
    for (int i = 0; i < 250; ++i) {
        const std::string n = std::to_string(1000 + i);
        categories.push_back("C" + n);
        sql += journalInsert("T" + n, "C" + n, "S" + n, "F" + n);
        sql += journalInsert("B" + n, "Big", "B" + n, "F" + n);
        bigSubjects += "B" + n + "\r\n";
    }
    createDatabase(databasePath(), sql + "COMMIT;\n");
    writeProgramFile("lists/categories.txt", "");
    writeProgramFile("lists/ferequently.txt", "");
    writeProgramFile("lists/subjects/Big.txt", "");
    categories.insert(categories.begin() + 1, "Big");
    openAsAdministrator();
    QAbstractItemModel* grid = control<QTableView>(Role::Grid)->model();
    QSignalSpy resets(grid, &QAbstractItemModel::modelReset);
    QSignalSpy changes(grid, &QAbstractItemModel::dataChanged);

    click(Role::UpdateListsButton);

    ASSERT_EQ(prompts.messages(), QStringList({"Finish!"}));
    // 253 filter changes and 750 rows walked reach the grid as one reset at the end.
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(changes.count(), 0);
    const QStringList categoryItems = items(Role::CategoryBox);
    ASSERT_EQ(categoryItems.size(), 251);
    std::string categoriesText;
    for (int i = 0; i < 251; ++i) {
        EXPECT_EQ(categoryItems[i].toStdString(), categories[static_cast<std::size_t>(i)]);
        categoriesText += categories[static_cast<std::size_t>(i)] + "\r\n";
    }
    EXPECT_EQ(listFile("lists/categories.txt"), categoriesText);
    EXPECT_EQ(listFile("lists/subjects/Big.txt"), bigSubjects);
    EXPECT_EQ(listFile("lists/subjects/C1249.txt"), "S1249\r\n");
    EXPECT_EQ(filesBelow(programDir() + "/lists/subjects").size(), 251u);
    EXPECT_EQ(box(Role::FrequencyBox)->count(), 250);
    EXPECT_EQ(box(Role::FrequencyBox)->itemText(249), "F1249");
    EXPECT_EQ(journals().filter(), "category ='C1249'");
}

// A failure ends the run where it happens: what was rewritten stays, the rest is skipped.
struct Failure {
    const char* name;
    const char* obstacle;  // a folder standing where a list file must go, or nullptr
    bool noSubjectFolder;  // lists/subjects missing
    bool noSubjectField;   // the journals table without its subject field
    const char* error;     // the path below the program directory, or a whole text if it starts with "!"
    const char* reason;
    bool filtered;
    const char* filter;
    bool frequenciesRefilled;
    const char* subjectFiles;  // written subject files, "|"-separated
};

void PrintTo(const Failure& f, std::ostream* out) { *out << f.name; }

class ListRebuildFailureTest : public ListRebuildTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ListRebuildFailureTest, EndsTheRunAndLeavesWhatWasDoneBeforeIt) {
    const Failure& f = GetParam();
    createLibrary({{"A", "Physics", "Optics", "Monthly"},
                   {"B", "Chemistry", "Organic", "Weekly"},
                   {"C", "Biology", "Genetics", "Monthly"}});
    if (f.noSubjectField) execSql(databasePath(), "ALTER TABLE journals DROP COLUMN subject");
    writeProgramFile("lists/categories.txt", "Old\r\n");
    writeProgramFile("lists/ferequently.txt", "Old\r\n");
    if (!f.noSubjectFolder) fs::create_directories(programDir() + "/lists/subjects");
    openAsAdministrator();
    retype(Role::FrequencyBox, "Old");
    const std::string before = journals().filter();
    const QString count = text(Role::RecordCountLabel);
    std::set<std::string> files = {"lists/categories.txt", "lists/ferequently.txt"};
    if (f.obstacle != nullptr) {
        const std::string obstacle = programDir() + "/" + f.obstacle;
        fs::remove(obstacle);
        fs::create_directories(obstacle);
        files.erase(f.obstacle);
    }

    click(Role::UpdateListsButton);

    const std::string error =
        f.error[0] == '!' ? std::string(f.error + 1)
                          : "Cannot create file \"" + programDir() + "/" + f.error + "\". " + f.reason + ".";
    EXPECT_EQ(prompts.errors(), QStringList({QString::fromStdString(error)}));
    EXPECT_TRUE(prompts.messages().isEmpty());
    // The category list is refilled before its file is written.
    EXPECT_EQ(items(Role::CategoryBox), QStringList({"Physics", "Chemistry", "Biology"}));
    EXPECT_EQ(box(Role::CategoryBox)->currentText(), "");
    EXPECT_EQ(items(Role::FrequencyBox),
              f.frequenciesRefilled ? QStringList({"Monthly", "Weekly"}) : QStringList({"Old"}));
    EXPECT_EQ(box(Role::FrequencyBox)->currentText(), f.frequenciesRefilled ? "" : "Old");
    EXPECT_EQ(journals().filtered(), f.filtered);
    EXPECT_EQ(journals().filter(), f.filter[0] == '\0' ? before : std::string(f.filter));
    EXPECT_EQ(text(Role::RecordCountLabel), count);

    // The previous file of a failed write stays whole, with no temporary file beside it.
    for (const QString& file : QString::fromLatin1(f.subjectFiles).split('|', Qt::SkipEmptyParts))
        files.insert("lists/subjects/" + file.toStdString());
    EXPECT_EQ(filesBelow(programDir()), files);
    const std::pair<const char*, const char*> contents[] = {
        {"lists/categories.txt", "Physics\r\nChemistry\r\nBiology\r\n"},
        {"lists/ferequently.txt", "Old\r\n"},
        {"lists/subjects/Physics.txt", "Optics\r\n"}};
    for (const auto& [file, bytes] : contents) {
        if (files.count(file) != 0) {
            EXPECT_EQ(listFile(file), bytes) << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, ListRebuildFailureTest,
    ::testing::Values(Failure{"CategoriesFileLocked", "lists/categories.txt", false, false,
                              "lists/categories.txt", "Is a directory", false, "", false, ""},
                      Failure{"SubjectFolderMissing", nullptr, true, false, "lists/subjects/Physics.txt",
                              "No such file or directory", true, "category ='Physics'", false, ""},
                      Failure{"SubjectFileLocked", "lists/subjects/Chemistry.txt", false, false,
                              "lists/subjects/Chemistry.txt", "Is a directory", true, "category ='Chemistry'",
                              false, "Physics.txt"},
                      Failure{"FrequenciesFileLocked", "lists/ferequently.txt", false, false,
                              "lists/ferequently.txt", "Is a directory", false, "category ='Biology'", true,
                              "Physics.txt|Chemistry.txt|Biology.txt"},
                      Failure{"SubjectFieldMissing", nullptr, false, true,
                              "!ADOQuery1: Field 'subject' not found.", "", true, "category ='Physics'",
                              false, ""}),
    test::CaseName());

// A category that is no plain file name never writes outside lists/subjects, and is refused before any
// list file is written, so the lists on disk and in the boxes stay as they were.
struct BadCategory {
    const char* name;
    std::string category;
    std::string shown;  // the category as the error shows it
};

void PrintTo(const BadCategory& c, std::ostream* out) { *out << c.name; }

class BadCategoryTest : public ListRebuildTest, public ::testing::WithParamInterface<BadCategory> {};

TEST_P(BadCategoryTest, IsRefusedBeforeAnyListIsWritten) {
    const BadCategory& c = GetParam();
    // Through a blob, so a zero byte stays inside the text.
    std::string hex;
    for (const char byte : c.category) {
        static const char digits[] = "0123456789ABCDEF";
        hex += digits[static_cast<unsigned char>(byte) >> 4];
        hex += digits[static_cast<unsigned char>(byte) & 15];
    }
    createDatabase(databasePath(), journalInsert("A", "Alpha", "First", "Monthly") +
                                       "INSERT INTO journals (Title, category, subject, Frequently) VALUES "
                                       "('B', CAST(X'" +
                                       hex + "' AS TEXT), 'Middle', 'Daily');" +
                                       journalInsert("Z", "Omega", "Last", "Weekly"));
    writeProgramFile("lists/categories.txt", "Alpha\r\nOmega\r\n");
    writeProgramFile("lists/ferequently.txt", "Monthly\r\nWeekly\r\n");
    fs::create_directories(programDir() + "/lists/subjects");
    openAsAdministrator();

    click(Role::UpdateListsButton);

    const std::string error = "Cannot create file \"" + programDir() + "/lists/subjects/" + c.shown +
                              ".txt\". A category that contains \"/\", \"\\\" or a zero byte, or is \".\" or "
                              "\"..\", is not a valid file name.";
    EXPECT_EQ(prompts.errors(), QStringList({QString::fromStdString(error)}));
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(items(Role::CategoryBox), QStringList({"Alpha", "Omega"}));
    EXPECT_FALSE(journals().filtered());
    EXPECT_EQ(filesBelow(programDir()),
              std::set<std::string>({"lists/categories.txt", "lists/ferequently.txt"}));
    EXPECT_EQ(listFile("lists/categories.txt"), "Alpha\r\nOmega\r\n");
    EXPECT_EQ(box(Role::FrequencyBox)->count(), 2);  // the frequencies of the library file, not rebuilt
}

INSTANTIATE_TEST_SUITE_P(Window, BadCategoryTest,
                         ::testing::Values(BadCategory{"Parent", "../escape", "../escape"},
                                           BadCategory{"Slash", "a/b", "a/b"},
                                           BadCategory{"Absolute", "/abs", "/abs"},
                                           BadCategory{"Backslash", "a\\b", "a\\b"},
                                           BadCategory{"Dot", ".", "."}, BadCategory{"DotDot", "..", ".."},
                                           BadCategory{"ZeroByte", "x\0y"s, "x\xE2\x90\x80y"}),
                         test::CaseName());

}  // namespace
}  // namespace lumaref::test
