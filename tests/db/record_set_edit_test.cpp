// Walking, editing, appending and filtering a record set, and how posts meet the database file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "support/error_text.h"
#include "support/journals_fixture.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "text/error.h"

namespace lumaref {
namespace {

using test::errorOf;

class JournalsTest : public test::JournalsFixture {
protected:
    void open(const std::string& rows, const std::string& connectionString = kDefaultConnectionString) {
        test::createDatabase(dbPath, rows);
        openJournals(connectionString);
        connection->setBusyTimeoutMs(50);
    }
};

std::string threeJournals() {
    return test::journalInsert("Optics Letters", "Physics", "Optics", "Monthly") +
           test::journalInsert("Cell", "Biology", "Cells", "Weekly") +
           test::journalInsert("Optica", "Physics", "Optics", "Monthly");
}

TEST_F(JournalsTest, CursorWalksForwardAndBackWithEofAndRecNo) {
    open(threeJournals());
    EXPECT_EQ(journals->recordCount(), 3);
    EXPECT_EQ(journals->recNo(), 1);
    std::vector<std::string> titles;
    for (journals->first(); !journals->eof(); journals->next())
        titles.push_back(journals->fieldAsString("title"));
    EXPECT_EQ(titles, (std::vector<std::string>{"Optics Letters", "Cell", "Optica"}));
    EXPECT_EQ(journals->recNo(), 3) << "Next from the last row stays on it";
    journals->prior();
    EXPECT_EQ(journals->recNo(), 2);
    EXPECT_FALSE(journals->eof());
    journals->last();
    EXPECT_EQ(journals->recNo(), 3);
    journals->setRecNo(2);
    EXPECT_EQ(journals->fieldAsString(0), "Cell");
    journals->setRecNo(99);
    EXPECT_EQ(journals->recNo(), 2) << "an out-of-range record number does not move";
}

TEST_F(JournalsTest, EmptyTableHasNoCurrentRow) {
    open("");
    journals->first();
    EXPECT_TRUE(journals->eof());
    EXPECT_EQ(journals->recordCount(), 0);
    EXPECT_EQ(journals->recNo(), -1);
    EXPECT_EQ(journals->fieldAsString("Title"), "");
    EXPECT_EQ(errorOf([&] { journals->fieldAsString("Nope"); }), "ADOQuery1: Field 'Nope' not found");
}

TEST_F(JournalsTest, SettingValuesFollowsTheFieldKindRules) {
    open(test::journalInsert("X"));
    EXPECT_EQ(errorOf([&] { journals->setFieldAsString("Title", "Y"); }),
              "ADOQuery1: Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { journals->post(); }), "ADOQuery1: Dataset not in edit or insert mode");
    journals->edit();
    struct Case {
        const char* field;
        std::string value;
        std::string readBack;  // or the error text
    };
    const std::string longText = std::string(250, 'a') + "ééééééééé";
    const Case cases[] = {
        {"Science Citation Index", "true", "True"},
        {"Science Citation Index", "t", "True"},
        {"Science Citation Index", "FAL", "False"},
        {"Science Citation Index", "", ""},
        {"Science Citation Index", "yes",
         "'yes' is not a valid boolean value for field 'Science Citation Index'"},
        {"Science Citation Index", "truex",
         "'truex' is not a valid boolean value for field 'Science Citation Index'"},
        {"Title", longText, std::string(250, 'a') + "ééééé"},
        {"Address", longText + longText, longText + longText},
        {"Nope", "x", "ADOQuery1: Field 'Nope' not found"},
    };
    for (const auto& c : cases) {
        const std::string error = errorOf([&] { journals->setFieldAsString(c.field, c.value); });
        const std::string result = error == "(no error)" ? journals->fieldAsString(c.field) : error;
        EXPECT_EQ(result, c.readBack) << c.field << " <- " << c.value;
    }
    journals->cancel();
}

// Address is a memo field: text of any length, stored exactly, even when it reads like a number.
// Files made before memo fields were declared TEXT still read MEMO as a memo field.
TEST_F(JournalsTest, AddressKeepsItsExactTextAndAnyLength) {
    const std::string longText(70000, 'x');
    for (const bool oldMemoDeclaration : {false, true}) {
        SCOPED_TRACE(oldMemoDeclaration ? "declared MEMO" : "declared by schema.sql");
        std::filesystem::remove(dbPath);
        open(oldMemoDeclaration
                 ? "DROP TABLE journals; CREATE TABLE journals (Title TEXT(255), Address MEMO);"
                 : "");
        const FieldInfo& address = journals->field(journals->fieldCount() == 2 ? 1 : 14);
        EXPECT_EQ(address.name, "Address");
        EXPECT_EQ(address.kind, FieldKind::Text);
        EXPECT_EQ(address.maxChars, 0u);
        journals->append();
        journals->setFieldAsString("Address", longText);
        journals->append();
        journals->setFieldAsString("Address", "1.50");
        journals->post();
        journals->close();
        journals->open();
        journals->first();
        EXPECT_EQ(journals->fieldAsString("Address"), longText);
        journals->next();
        if (!oldMemoDeclaration) {
            EXPECT_EQ(journals->fieldAsString("Address"), "1.50");
            EXPECT_EQ(stored("SELECT typeof(Address) FROM journals WHERE rowid = 2"), "text");
        }
    }
}

TEST_F(JournalsTest, NumberFieldsRefuseTextThatIsNotANumber) {
    open("CREATE TABLE ranks (n INTEGER, r REAL);");
    RecordSet ranks("ADOQuery2", *connection, "ranks");
    ranks.open();
    ranks.append();
    EXPECT_EQ(errorOf([&] { ranks.setFieldAsString("n", "12a"); }),
              "'12a' is not a valid integer value for field 'n'");
    EXPECT_EQ(errorOf([&] { ranks.setFieldAsString("r", "1,5"); }),
              "'1,5' is not a valid floating point value for field 'r'");
    ranks.setFieldAsString("n", " 12 ");
    ranks.setFieldAsString("r", "2.50");
    ranks.post();
    EXPECT_EQ(ranks.fieldAsString("n"), "12");
    EXPECT_EQ(ranks.fieldAsString("r"), "2.5");
    EXPECT_EQ(stored("SELECT typeof(r) || ':' || r FROM ranks"), "real:2.5");
}

TEST_F(JournalsTest, AppendPostsAndReadsTheRowBack) {
    open(threeJournals());
    journals->append();
    EXPECT_EQ(journals->recNo(), -1);
    journals->setFieldAsString("Title", "New Journal");
    journals->setFieldAsString("Science Citation Index Expanded", "true");
    journals->append();  // completes the first new row
    journals->setFieldAsString("Title", "Second New");
    journals->post();
    EXPECT_EQ(journals->recordCount(), 5);
    EXPECT_EQ(journals->recNo(), 5);
    EXPECT_EQ(journals->fieldAsString("Science Citation Index"), "False") << "database default shows";
    EXPECT_EQ(stored("SELECT count(*) FROM journals"), "5");
    EXPECT_EQ(stored("SELECT \"Science Citation Index Expanded\" FROM journals WHERE Title='New Journal'"),
              "1");
}

TEST_F(JournalsTest, CompletingDropsAnUntouchedRowAndPostsAChangedOne) {
    open(threeJournals());
    journals->append();
    journals->first();
    EXPECT_EQ(journals->recordCount(), 3) << "an empty appended row is dropped";
    journals->edit();
    journals->setFieldAsString("IF", "3.2");
    journals->next();  // completes the edit
    EXPECT_EQ(stored("SELECT IF FROM journals WHERE Title='Optics Letters'"), "3.2");
    journals->edit();
    journals->last();
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
}

TEST_F(JournalsTest, AnEditByAnotherProgramIsReportedNotOverwritten) {
    open(threeJournals());
    Connection other(kDefaultConnectionString);
    RecordSet otherJournals("ADOQuery1", other, "journals");
    otherJournals.open();

    otherJournals.edit();
    otherJournals.setFieldAsString("Q", "Q1");
    otherJournals.post();

    journals->edit();
    journals->setFieldAsString("Q", "Q4");
    EXPECT_EQ(
        errorOf([&] { journals->post(); }),
        "Row cannot be located for updating. Some values may have been changed since it was last read.");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse) << "a refused post leaves nothing pending";
    EXPECT_EQ(journals->fieldAsString("Q"), "") << "the row reads as it was read, not as refused";
    EXPECT_EQ(stored("SELECT Q FROM journals WHERE Title='Optics Letters'"), "Q1");

    // Fields the other program did not touch can still be written.
    journals->edit();
    journals->setFieldAsString("IF", "1.5");
    journals->post();
    EXPECT_EQ(stored("SELECT IF || '/' || Q FROM journals WHERE Title='Optics Letters'"), "1.5/Q1");
}

TEST_F(JournalsTest, ALockedDatabaseFailsThePostAndTheRowCanBeAddedAgain) {
    open(threeJournals());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE journals SET IF='9' WHERE Title='Cell';", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    journals->append();
    journals->setFieldAsString("Title", "Blocked");
    const std::string error = errorOf([&] { journals->post(); });
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    EXPECT_EQ(journals->recordCount(), 3);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    journals->append();
    journals->setFieldAsString("Title", "Blocked");
    journals->post();
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE Title='Blocked'"), "1");
}

TEST_F(JournalsTest, AReadOnlyConnectionBrowsesButRefusesPosts) {
    open(threeJournals(), "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=Database.mdb;Mode=Read;");
    EXPECT_EQ(journals->recordCount(), 3);
    journals->edit();
    journals->setFieldAsString("Title", "Changed");
    EXPECT_EQ(errorOf([&] { journals->post(); }), "Cannot update. Database or object is read-only.");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    EXPECT_EQ(journals->fieldAsString("Title"), "Optics Letters");
    EXPECT_EQ(errorOf([&] { journals->next(); }), "(no error)") << "no later move posts it again";
    EXPECT_EQ(stored("SELECT Title FROM journals LIMIT 1"), "Optics Letters");
}

TEST_F(JournalsTest, FilterAppliesOnlyWhileFilteredAndARejectedTextChangesNothing) {
    open(threeJournals());
    journals->setFilter("category='physics'");
    EXPECT_EQ(journals->recordCount(), 3) << "the text alone does not filter";
    journals->setFiltered(true);
    EXPECT_EQ(journals->recordCount(), 2);
    journals->next();
    journals->setFilter(" Title Like '*OPTIC*'");
    EXPECT_EQ(journals->recNo(), 1) << "a filter change goes to the first row";
    EXPECT_EQ(journals->recordCount(), 2);

    EXPECT_EQ(errorOf([&] { journals->setFilter("Title Like"); }), kFilterArgumentsError);
    EXPECT_EQ(errorOf([&] { journals->setFilter("Nope = 'x'"); }), kFilterArgumentsError);
    EXPECT_EQ(journals->filter(), " Title Like '*OPTIC*'");
    EXPECT_TRUE(journals->filtered());
    EXPECT_EQ(journals->recordCount(), 2);

    journals->setFiltered(false);
    EXPECT_EQ(journals->recordCount(), 3);
    journals->setFilter("");
    journals->setFiltered(true);
    EXPECT_EQ(journals->recordCount(), 3) << "an empty text shows every row";
}

TEST_F(JournalsTest, PostedRowsStayVisibleUntilTheFilterIsAppliedAgain) {
    open(threeJournals());
    journals->setFilter("category='Physics'");
    journals->setFiltered(true);
    journals->append();
    journals->setFieldAsString("Title", "Elsewhere");
    journals->setFieldAsString("Category", "Biology");
    journals->post();
    EXPECT_EQ(journals->recordCount(), 3);
    journals->first();
    journals->edit();
    journals->setFieldAsString("category", "Chemistry");
    journals->post();
    EXPECT_EQ(journals->recordCount(), 3);
    journals->setFiltered(false);
    journals->setFiltered(true);
    EXPECT_EQ(journals->recordCount(), 1) << "re-applied, the filter sees the posted values";
    EXPECT_EQ(journals->fieldAsString("Title"), "Optica");
}

TEST_F(JournalsTest, AReopenedRecordSetFiltersTheRowsItLoaded) {
    open(threeJournals());
    journals->setFilter("category='Physics'");
    journals->setFiltered(true);
    EXPECT_EQ(journals->recordCount(), 2);
    journals->close();
    test::execSql(dbPath, test::journalInsert("Physics Today", "Physics"));
    journals->open();
    EXPECT_EQ(journals->recordCount(), 3);
}

class CountingListener : public RecordSetListener {
public:
    void rowsReset() override { ++resets; }
    void rowChanged(int) override { ++changes; }
    void rowAppended(int position) override { appended.push_back(position); }
    void cursorMoved(int position) override { moves.push_back(position); }
    int resets = 0;
    int changes = 0;
    std::vector<int> appended;
    std::vector<int> moves;
};

TEST_F(JournalsTest, ListenerHearsMovesResetsChangesAndAppends) {
    open(threeJournals());
    CountingListener listener;
    journals->setListener(&listener);
    journals->first();
    journals->next();
    journals->next();
    journals->next();  // already on the last row: Eof, no move
    EXPECT_EQ(listener.moves, (std::vector<int>{0, 1, 2}));
    journals->edit();
    journals->setFieldAsString("Q", "Q2");
    journals->post();
    EXPECT_EQ(listener.changes, 1);
    journals->append();
    journals->setFieldAsString("Title", "T");
    journals->post();
    EXPECT_EQ(listener.appended, (std::vector<int>{3}));
    journals->setFilter("Q='Q2'");
    journals->setFiltered(true);
    EXPECT_EQ(listener.resets, 1);
    EXPECT_EQ(journals->valueAt(0, 0), "Optica");
    journals->setListener(nullptr);
}

}  // namespace
}  // namespace lumaref
