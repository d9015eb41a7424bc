// Appends in a batch: each compiled statement is reused, yet every post stays exact and its own commit.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "db/statement.h"
#include "support/error_text.h"
#include "support/journals_fixture.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

class AppendTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        test::createDatabase(dbPath);
        openJournals();
    }
    void append(const char* title, const char* issn = nullptr) {
        journals->append();
        journals->setFieldAsString("Title", title);
        if (issn != nullptr) journals->setFieldAsString("ISSN", issn);
        journals->post();
    }
};

TEST_F(AppendTest, AlternatingFieldSetsStoreExactlyWhatWasSet) {
    append("A");
    append("B", "1111-1111");
    append("C");
    append("D", "2222-2222");
    EXPECT_EQ(stored("SELECT group_concat(Title || '/' || ifnull(ISSN, '-'), ' ') FROM journals"),
              "A/- B/1111-1111 C/- D/2222-2222");
    // The rows shown are the rows stored, database defaults included.
    EXPECT_EQ(journals->recordCount(), 4);
    EXPECT_EQ(journals->fieldAsString("Title"), "D");
    EXPECT_EQ(journals->fieldAsString("Science Citation Index"), "False");
    journals->first();
    EXPECT_EQ(journals->fieldAsString("ISSN"), "");
}

TEST_F(AppendTest, AReopenedConnectionAndAChangedSchemaAreFollowed) {
    append("Before");
    connection->close();
    journals->close();
    openJournals();
    append("After reopening");
    test::execSql(dbPath,
                  "CREATE TRIGGER refuse BEFORE INSERT ON journals WHEN NEW.Title = 'No' "
                  "BEGIN SELECT RAISE(ABORT, 'Refused'); END;");
    journals->append();
    journals->setFieldAsString("Title", "No");
    EXPECT_EQ(test::errorOf([&] { journals->post(); }), "Refused");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    journals->append();
    journals->setFieldAsString("Title", "Yes");
    journals->post();
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals"), "Before After reopening Yes");
}

// Inside a transaction the caller began, appends neither begin nor commit their own: they are stored
// when the caller commits.
TEST_F(AppendTest, AppendsJoinATransactionAlreadyOpen) {
    Transaction transaction(connection->handle());
    append("A");
    append("B");
    EXPECT_EQ(stored("SELECT count(*) FROM journals"), "0");
    transaction.commit();
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals"), "A B");
}

// A post refused while another program writes leaves nothing half done: no transaction left open,
// nothing pending and nothing shown, and the row goes in once the other program is finished.
TEST_F(AppendTest, APostRefusedByALockLeavesNothingPendingAndCanBeRepeated) {
    connection->setBusyTimeoutMs(20);
    append("First");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    journals->append();
    journals->setFieldAsString("Title", "Second");
    EXPECT_EQ(test::errorOf([&] { journals->post(); }),
              "Could not update; the database is locked by another program. Try again later.");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    EXPECT_EQ(journals->recordCount(), 1);
    EXPECT_NE(sqlite3_get_autocommit(connection->handle()), 0);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    journals->append();
    journals->setFieldAsString("Title", "Second");
    journals->post();
    EXPECT_EQ(journals->recordCount(), 2);
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals"), "First Second");
}

}  // namespace
}  // namespace lumaref
