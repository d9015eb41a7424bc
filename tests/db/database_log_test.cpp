// The write-ahead log: bounded while a batch job posts, folded back into one file when the last
// connection closes, and a file that cannot be written still browsed.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/journals_fixture.h"
#include "support/unprivileged_user.h"
#include "text/error.h"

namespace lumaref {
namespace {

class DatabaseLogTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        test::createDatabase(dbPath);
        openJournals();
    }
    void append(const std::string& title) {
        journals->append();
        journals->setFieldAsString("Title", title);
        journals->post();
    }
    void closeJournals() {
        journals.reset();
        connection.reset();
    }
    std::uintmax_t logBytes() const {
        std::error_code ec;
        const std::uintmax_t bytes = std::filesystem::file_size(dbPath + "-wal", ec);
        return ec ? 0 : bytes;
    }
    bool besideFilesLeft() const {
        return test::fileExists(dbPath + "-wal") || test::fileExists(dbPath + "-shm");
    }
};

// Every post is its own commit; if anything held a read snapshot across them, SQLite could never
// start the log over and it would grow by a few pages per post (tens of megabytes here).
TEST_F(DatabaseLogTest, TheLogStaysBoundedThroughALongRunOfPosts) {
    constexpr int kPosts = 4000;
    constexpr std::uintmax_t kBound = 8u << 20;
    std::uintmax_t largest = 0;
    for (int i = 0; i < kPosts; ++i) {
        append("Journal " + std::to_string(i));
        if (i % 100 == 0) largest = std::max(largest, logBytes());
    }
    EXPECT_LT(largest, kBound);
    EXPECT_EQ(stored("SELECT count(*) FROM journals"), std::to_string(kPosts));
}

// Closed by its last program, the database is one file in rollback-journal mode; while another
// program still has it open it stays in WAL for that program. One file is browsed from a folder
// nobody may write, and the first change says the database is read-only.
TEST_F(DatabaseLogTest, TheLastConnectionLeavesOneFileThatAReadOnlyFolderStillBrowses) {
    append("Kept");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "SELECT count(*) FROM journals", nullptr, nullptr, nullptr), SQLITE_OK);
    closeJournals();
    EXPECT_TRUE(test::fileExists(dbPath + "-wal"));
    EXPECT_EQ(stored("PRAGMA journal_mode"), "wal");
    sqlite3_close(other);

    openJournals();
    append("Also kept");
    closeJournals();
    EXPECT_FALSE(besideFilesLeft());
    EXPECT_EQ(stored("PRAGMA journal_mode"), "delete");
    EXPECT_EQ(stored("SELECT group_concat(Title, ' ') FROM journals"), "Kept Also kept");

    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const std::string message = test::errorOfUserWhoCannotWriteIn(dir.path(), [&] {
        openJournals();
        if (journals->recordCount() != 2) throw Error("browsed the wrong rows");
        append("Refused");
    });
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(message, "Cannot update. Database or object is read-only.");
    EXPECT_FALSE(besideFilesLeft());
    EXPECT_EQ(stored("SELECT count(*) FROM journals"), "2");
}

}  // namespace
}  // namespace lumaref
