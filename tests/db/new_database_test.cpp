#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/new_database.h"
#include "db/record_set.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "support/unprivileged_user.h"

namespace lumaref {
namespace {

using test::errorOf;
using test::queryText;

constexpr const char* kSchemaQuery =
    "SELECT group_concat(type || ' ' || name || ': ' || sql, char(10)) FROM "
    "(SELECT * FROM sqlite_schema ORDER BY name)";

// Names left in a folder, sorted, hidden temporary files included.
std::string folderListing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) listing += name + " ";
    return listing;
}

TEST(NewDatabase, HoldsTheTablesOfSchemaSqlAndOpensInTheProgram) {
    test::TempDir dir;
    const std::string target = dir.file("Database.mdb");
    createNewDatabase(target, false);
    test::createDatabase(dir.file("reference.mdb"));
    EXPECT_EQ(queryText(target, kSchemaQuery), queryText(dir.file("reference.mdb"), kSchemaQuery));
    EXPECT_NE(queryText(target, kSchemaQuery).find("jcr2018"), std::string::npos);
    EXPECT_EQ(folderListing(dir.path()), "Database.mdb reference.mdb ");

    test::CurrentDir cwd(dir.path());
    Connection connection("Data Source=Database.mdb;");
    for (const char* table : {"journals", "jcr2018", "JCRQ1", "JCRQ2", "JCRQ3", "JCRQ4"}) {
        RecordSet records("ADOQuery", connection, table);
        records.open();
        EXPECT_EQ(records.recordCount(), 0) << table;
    }
}

TEST(NewDatabase, RefusesAnExistingFileUnlessToldToReplaceIt) {
    test::TempDir dir;
    const std::string target = dir.file("Database.mdb");
    test::writeFile(target, "precious");
    EXPECT_NE(errorOf([&] { createNewDatabase(target, false); }).find("already exists; use --force"),
              std::string::npos);
    EXPECT_EQ(test::readFile(target), "precious");
    EXPECT_EQ(folderListing(dir.path()), "Database.mdb ");

    createNewDatabase(target, true);
    EXPECT_EQ(queryText(target, "SELECT count(*) FROM journals"), "0");
    EXPECT_EQ(folderListing(dir.path()), "Database.mdb ");
}

TEST(NewDatabase, AReplacedDatabaseDoesNotInheritTheOldOnesLeftoverJournal) {
    test::TempDir dir;
    const std::string target = dir.file("Database.mdb");
    test::createDatabase(target);
    // A program that died with rows only in its write-ahead log leaves that log beside the file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Connection connection("Data Source=" + target + ";");
        connection.open();
        sqlite3_exec(connection.handle(), "INSERT INTO journals (Title) VALUES ('from the old file')",
                     nullptr, nullptr, nullptr);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(test::fileExists(target + "-wal"));

    createNewDatabase(target, true);
    EXPECT_EQ(queryText(target, "SELECT count(*) FROM journals"), "0");
    EXPECT_EQ(queryText(target, "PRAGMA integrity_check"), "ok");
}

TEST(NewDatabase, AFolderThatCannotBeWrittenToLeavesNothingBehind) {
    test::TempDir dir;
    const std::string& folder = dir.path();
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const std::string message = test::errorOfUserWhoCannotWriteIn(
        folder, [&] { createNewDatabase(folder + "/Database.mdb", false); });
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
    EXPECT_EQ(folderListing(folder), "");
}

TEST(NewDatabase, AMissingFolderOrAFolderAsTargetIsRefused) {
    test::TempDir dir;
    EXPECT_NE(errorOf([&] {
                  createNewDatabase(dir.file("no/such/folder/Database.mdb"), false);
              }).find("No such file or directory"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { createNewDatabase(dir.path(), true); }).find("is a folder"), std::string::npos);
    EXPECT_FALSE(test::fileExists(dir.file("no")));
}

}  // namespace
}  // namespace lumaref
