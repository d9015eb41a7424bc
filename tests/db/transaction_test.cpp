#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "db/database_file.h"
#include "db/statement.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

std::string countOf(sqlite3* db) {
    Statement count(db, "SELECT count(*) FROM t");
    count.step();
    return std::string(count.columnText(0));
}

// Whatever way the scope of a Transaction is left, the database holds either all of its work or none,
// and no transaction is left open.
TEST(TransactionTest, KeepsItsWorkOnlyWhenCommitted) {
    enum class Ending { Commit, Exception, FailedCommit };
    struct Row {
        const char* name;
        const char* sql;
        Ending ending;
        const char* rows;
    };
    const Row rows[] = {
        {"committed", "INSERT INTO t VALUES (NULL); INSERT INTO t VALUES (NULL)", Ending::Commit, "2"},
        {"an exception before the commit", "INSERT INTO t VALUES (NULL)", Ending::Exception, "0"},
        // A deferred foreign key is checked by COMMIT, which then fails with the transaction still open.
        {"a commit that fails", "INSERT INTO t VALUES (7)", Ending::FailedCommit, "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        DatabaseFile file(dir.file("t.db"), DatabaseFile::Mode::Create);
        sqlite3* db = file.handle();
        exec(db,
             "PRAGMA foreign_keys=ON; CREATE TABLE parent (id INTEGER PRIMARY KEY); "
             "CREATE TABLE t (x INTEGER REFERENCES parent (id) DEFERRABLE INITIALLY DEFERRED)");
        try {
            Transaction transaction(db, Transaction::Lock::Immediate);
            exec(db, row.sql);
            if (row.ending == Ending::Exception) throw std::runtime_error("stopped");
            transaction.commit();
            EXPECT_EQ(row.ending, Ending::Commit);
        } catch (const SqliteError& failure) {
            EXPECT_EQ(row.ending, Ending::FailedCommit) << failure.what();
        } catch (const std::runtime_error&) {
            EXPECT_EQ(row.ending, Ending::Exception);
        }
        EXPECT_FALSE(inTransaction(db));
        EXPECT_EQ(countOf(db), row.rows);
    }
}

}  // namespace
}  // namespace lumaref
