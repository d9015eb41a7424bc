#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref::test {

// A Database.mdb in a current folder of its own, its journals opened as the window opens them.
class JournalsFixture : public ::testing::Test {
protected:
    void openJournals(const std::string& connectionString = kDefaultConnectionString) {
        journals.reset();
        connection = std::make_unique<Connection>(connectionString);
        journals = std::make_unique<RecordSet>("ADOQuery1", *connection, "journals");
        journals->open();
    }
    std::string stored(const std::string& sql) { return queryText(dbPath, sql); }

    TempDir dir;
    CurrentDir cwd{dir.path()};
    std::string dbPath = dir.file("Database.mdb");
    std::unique_ptr<Connection> connection;
    std::unique_ptr<RecordSet> journals;
};

}  // namespace lumaref::test
