// The text master-list import over the journals of a database file: what each entry stores, and
// what an error keeps.
#include "exchange/master_list_import.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ostream>
#include <string>

#include "exchange/master_list_file.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "support/journals_fixture.h"
#include "text/text_file.h"

namespace lumaref::test {
namespace {

using namespace std::string_literals;

class MasterListImportTest : public JournalsFixture {
protected:
    void SetUp() override {
        createDatabase(dbPath, journalInsert("Stored Before", "Medicine"));
        openJournals();
    }
    std::int64_t import(std::string_view bytes, std::string_view category = "Medicine",
                        std::string_view subject = "Cardiology") {
        MasterListLines lines(decodeText(bytes));
        return importMasterList(lines, *journals, classifier, category, subject);
    }
    std::string field(const std::string& title, const std::string& name) {
        return stored("SELECT \"" + name + "\" FROM journals WHERE Title = " + sqlQuoted(title));
    }
    std::string storedCount() { return stored("SELECT count(*) FROM journals"); }

    // One classifier for every import, as the window keeps one.
    ImportLineClassifier classifier;
};

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

TEST_F(MasterListImportTest, ImportsEveryEntryWithItsFields) {
    const int shownBefore = journals->recordCount();
    const std::string filter = journals->filter();
    EXPECT_EQ(import(kMasterList), 6);

    EXPECT_EQ(storedCount(), "7");
    const std::pair<const char*, const char*> circulation[] = {
        {"Frequently", "Monthly"},
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
    for (const auto& [name, value] : circulation)
        EXPECT_EQ(field("Circulation Research", name), value) << name;
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

    // The new records are shown; the filter is as it was.
    EXPECT_EQ(journals->recordCount(), shownBefore + 6);
    EXPECT_EQ(journals->filter(), filter);
}

TEST_F(MasterListImportTest, AFileWithoutEntriesImportsNothing) {
    for (const std::string& bytes : {""s, "Master Journal List\r\n\r\nwww.example.org\r\n"s,
                                     "\x1A"
                                     "1. A\r\n"s}) {
        EXPECT_EQ(import(bytes), 0) << bytes;
    }
    EXPECT_EQ(storedCount(), "1");
}

// A second import starts with clear flags: its first line is no frequency of the first's last title.
TEST_F(MasterListImportTest, TwoImportsInARowDoNotInterfere) {
    EXPECT_EQ(import("1. First\r\nISSN: 1\r\n2. Second", "Physics", "One"), 2);
    EXPECT_EQ(import("Monthly\r\n1. Third\r\n", "Physics", "Two"), 1);
    EXPECT_EQ(stored("SELECT group_concat(Title || '/' || ifnull(Frequently, '-'), ' ') FROM journals "
                     "WHERE category = 'Physics' AND subject IN ('One', 'Two')"),
              "First/- Second/- Third/-");
}

// Older Windows programs, stray tabs, lines of the longest length and no line break at all still import.
TEST_F(MasterListImportTest, UnusualBytesImportWithoutLoss) {
    const std::string bigAddress(kLongestLine, 'a');
    const std::string bytes = "1. Caf\xE9 R\xE9sum\xE9\r\nMonthly\r\nE-ISSN: 1\r\n" + bigAddress +
                              "\r\n2. Nul\tByte\r\n3. "s + std::string(kLongestLine - 3, 't') + "\r\n4. Last";
    EXPECT_EQ(import(bytes, "Physics", "Odd"), 4);
    EXPECT_EQ(stored("SELECT Frequently FROM journals WHERE Title = 'Caf\xC3\xA9 R\xC3\xA9sum\xC3\xA9'"),
              "Monthly");
    EXPECT_EQ(stored("SELECT length(Address) FROM journals WHERE Frequently = 'Monthly' AND subject = 'Odd'"),
              std::to_string(bigAddress.size()));
    EXPECT_EQ(stored("SELECT length(Title) FROM journals WHERE Title LIKE 'ttt%'"), "255");
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE subject = 'Odd'"), "4");
    EXPECT_EQ(stored("SELECT hex(Title) FROM journals WHERE Title LIKE 'Nul%'"), "4E756C0942797465");
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE Title = 'Last'"), "1");
}

struct Failure {
    const char* name;
    std::string bytes;
    const char* error;
    const char* storedTitles;
    std::string category = "Imported";
    std::string subject = "Type a subject for input data";
};

void PrintTo(const Failure& f, std::ostream* out) { *out << f.name; }

class MasterListImportFailureTest : public MasterListImportTest,
                                    public ::testing::WithParamInterface<Failure> {};

TEST_P(MasterListImportFailureTest, EndsTheRunWithItsErrorAndKeepsWhatWasPosted) {
    const Failure& f = GetParam();
    // The database refuses one title, as it would refuse a record breaking a rule of its own.
    execSql(dbPath,
            "CREATE TRIGGER refuse BEFORE INSERT ON journals WHEN NEW.Title = 'Refused' "
            "BEGIN SELECT RAISE(ABORT, 'The record was refused'); END;");
    EXPECT_EQ(errorOf([&] { import(f.bytes, f.category, f.subject); }), f.error);
    EXPECT_EQ(stored("SELECT ifnull(group_concat(Title, ' '), '') FROM journals WHERE category = 'Imported'"),
              f.storedTitles);
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    if (std::string_view(f.storedTitles).empty()) {
        EXPECT_EQ(storedCount(), "1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MasterListImportFailureTest,
    ::testing::Values(
        Failure{"FieldLineFirst", "ISSN: 1\r\n1. A\r\n", "ADOQuery1: Dataset not in edit or insert mode", ""},
        Failure{"RefusedByTheNextAppend", "1. Good\r\n2. Refused\r\nMonthly\r\n3. Later\r\n",
                "The record was refused", "Good"},
        Failure{"RefusedByTheFinalPost", "1. Good\r\n2. Fine\r\n3. Refused\r\n", "The record was refused",
                "Good Fine"},
        // Category and subject are checked before the first line is read.
        Failure{"EmptyCategory", "1. A\r\n",
                "Nothing was imported: the category is empty. Type a category for the imported journals.", "",
                " \t"},
        Failure{"EmptySubject", "1. A\r\n",
                "Nothing was imported: the subject is empty. Type a subject for the imported journals.", "",
                "Imported", ""},
        Failure{"SlashInCategory", "1. A\r\n",
                "Nothing was imported: the category \"Medicine/Heart\" is not a valid file name. "
                "It must not contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Medicine/Heart"},
        Failure{"BackslashInSubject", "1. A\r\n",
                "Nothing was imported: the subject \"a\\b\" is not a valid file name. It must "
                "not contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Imported", "a\\b"},
        Failure{"DotDotSubject", "1. A\r\n",
                "Nothing was imported: the subject \"..\" is not a valid file name. It must not "
                "contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "Imported", ".."},
        Failure{"DotCategory", "1. A\r\n",
                "Nothing was imported: the category \".\" is not a valid file name. It must not "
                "contain \"/\", \"\\\" or a zero byte, nor be \".\" or \"..\".",
                "", "."}),
    test::CaseName());

// An import that another program's lock stops cancels the record it was filling: no later walk posts
// it, and the retry the message invites stores each entry once. The retry starts with flags cleared,
// or its first line would set the address of a record that is not there.
TEST_F(MasterListImportTest, ALockedDatabaseCancelsTheRecordBeingFilledAndARetryStoresEachEntryOnce) {
    connection->setBusyTimeoutMs(20);
    const std::string list = "Optics Street 1\r\n1. Alpha\r\nE-ISSN: 5\r\n2. Beta\r\n";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::string error = errorOf([&] { import(list, "Physics", "Lenses"); });
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(error, "Could not update; the database is locked by another program. Try again later.");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);

    // A pending record would be posted by a walk over the journals.
    for (journals->first(); !journals->eof(); journals->next()) {
    }
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE subject = 'Lenses'"), "0");

    EXPECT_EQ(import(list, "Physics", "Lenses"), 2);
    EXPECT_EQ(
        stored("SELECT group_concat(Title || '/' || ifnull(\"E-ISSN\", '-') || '/' || ifnull(Address, '-'), "
               "' ') FROM journals WHERE subject = 'Lenses'"),
        "Alpha/5/- Beta/-/-");
}

}  // namespace
}  // namespace lumaref::test
