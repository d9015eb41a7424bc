// A new database built beside its target: the target appears whole at commit, or not at all.
#include "db/staged_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "db/statement.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace lumaref {
namespace {

class StagedDatabaseTest : public ::testing::Test {
protected:
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static void createTable(StagedDatabase& staged) {
        exec(staged.handle(), "CREATE TABLE t (x TEXT); INSERT INTO t VALUES ('1.50')");
    }

    test::TempDir dir;
    std::string target = dir.file("new.sqlite");
};

TEST_F(StagedDatabaseTest, TargetAppearsOnlyAtCommit) {
    {
        StagedDatabase staged(target, false);
        createTable(staged);
        EXPECT_EQ(fs::path(staged.temporaryPath()).parent_path(), fs::path(dir.path()));
        EXPECT_FALSE(fs::exists(target));
        staged.commit();
    }
    EXPECT_EQ(test::queryText(target, "SELECT x FROM t"), "1.50");
    EXPECT_EQ(entries(), std::vector<std::string>{"new.sqlite"});
}

TEST_F(StagedDatabaseTest, AbandonedWorkLeavesNothing) {
    std::string temporary;
    {
        StagedDatabase staged(target, false);
        temporary = staged.temporaryPath();
        createTable(staged);
        EXPECT_TRUE(fs::exists(temporary));
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(StagedDatabaseTest, ExistingTargetIsKeptUnlessReplacingWasAsked) {
    test::writeFile(target, "keep me");
    EXPECT_EQ(test::errorOf([&] { StagedDatabase(target, false); }),
              "The target '" + target + "' already exists; use --force to replace it.");
    EXPECT_EQ(test::readFile(target), "keep me");

    // Another program creating the target while the database is built does not lose its file either.
    fs::remove(target);
    StagedDatabase staged(target, false);
    createTable(staged);
    test::writeFile(target, "made meanwhile");
    EXPECT_NE(test::errorOf([&] { staged.commit(); }).find("already exists"), std::string::npos);
    EXPECT_EQ(test::readFile(target), "made meanwhile");
    EXPECT_EQ(entries(), std::vector<std::string>{"new.sqlite"});

    StagedDatabase replacing(target, true);
    createTable(replacing);
    replacing.commit();
    EXPECT_EQ(test::queryText(target, "SELECT x FROM t"), "1.50");
}

TEST_F(StagedDatabaseTest, FolderThatCannotTakeAFileIsReported) {
    test::writeFile(dir.file("plain"), "a file, not a folder");
    const std::string message = test::errorOf([&] { StagedDatabase(dir.file("plain/new.sqlite"), false); });
    EXPECT_EQ(message, "Cannot create a file in '" + dir.file("plain") + "': Not a directory.");
    EXPECT_EQ(test::errorOf([&] { StagedDatabase(dir.path(), true); }),
              "The target '" + dir.path() + "' is a folder.");
}

}  // namespace
}  // namespace lumaref
