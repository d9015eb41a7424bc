// Appends in a batch: each compiled statement is reused, yet every post stays exact and its own commit.
#include <gtest/gtest.h>

#include <memory>

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/record_set.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

class AppendTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createDatabase(dbPath);
        open();
    }
    void open() {
        journals.reset();
        connection = std::make_unique<Connection>(kDefaultConnectionString);
        journals = std::make_unique<RecordSet>("ADOQuery1", *connection, "select * from journals");
        journals->Open();
    }
    void append(const char* title, const char* issn = nullptr) {
        journals->Append();
        journals->SetFieldAsString("Title", title);
        if (issn != nullptr) journals->SetFieldAsString("ISSN", issn);
        journals->Post();
    }
    std::string stored(const std::string& sql) { return test::queryText(dbPath, sql); }

    test::TempDir dir;
    test::CurrentDir cwd{dir.path()};
    std::string dbPath = dir.file("Database.mdb");
    std::unique_ptr<Connection> connection;
    std::unique_ptr<RecordSet> journals;
};

TEST_F(AppendTest, AlternatingFieldSetsStoreExactlyWhatWasSet) {
    append("A");
    append("B", "1111-1111");
    append("C");
    append("D", "2222-2222");
    EXPECT_EQ(stored("SELECT group_concat(Title || '/' || ifnull(ISSN, '-'), ' ') FROM journals"),
              "A/- B/1111-1111 C/- D/2222-2222");
    // The rows shown are the rows stored, database defaults included.
    EXPECT_EQ(journals->RecordCount(), 4);
    EXPECT_EQ(journals->FieldAsString("Title"), "D");
    EXPECT_EQ(journals->FieldAsString("Science Citation Index"), "False");
    journals->First();
    EXPECT_EQ(journals->FieldAsString("ISSN"), "");
}

TEST_F(AppendTest, AReopenedConnectionAndAChangedSchemaAreFollowed) {
    append("Before");
    connection->Close();
    journals->Close();
    open();
    append("After reopening");
    test::execSql(dbPath,
                  "CREATE TRIGGER refuse BEFORE INSERT ON journals WHEN NEW.Title = 'No' "
                  "BEGIN SELECT RAISE(ABORT, 'Refused'); END;");
    journals->Append();
    journals->SetFieldAsString("Title", "No");
    EXPECT_EQ(test::errorOf([&] { journals->Post(); }), "Refused");
    EXPECT_EQ(journals->state(), RecordSet::State::Insert);
    journals->SetFieldAsString("Title", "Yes");
    journals->Post();
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals"), "Before After reopening Yes");
}

}  // namespace
}  // namespace lumaref
