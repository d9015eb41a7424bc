// Loading a table large enough to be read by two connections on two threads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

constexpr int kRows = 60'000;

// Journals 1..kRows, with a gap of deleted rowids in the middle, where the two readers split.
std::string manyJournals() {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(kRows + 100) +
           ") INSERT INTO journals (Title, IF, \"Science Citation Index\", Address) "
           "SELECT 'Journal ' || i, i * 0.5, i % 2, CASE WHEN i % 7 = 0 THEN NULL ELSE 'Street ' || i END "
           "FROM n;"
           "DELETE FROM journals WHERE rowid BETWEEN " +
           std::to_string(kRows / 2 - 49) + " AND " + std::to_string(kRows / 2 + 50) + ";";
}

TEST(TableLoad, EveryRowArrivesOnceInRowidOrder) {
    test::TempDir dir;
    test::createDatabase(dir.file("Database.mdb"), manyJournals());
    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    RecordSet journals("ADOQuery1", connection, "journals");
    journals.open();
    ASSERT_EQ(journals.recordCount(), kRows);
    const Table& table = journals.snapshot();
    const int title = table.findColumn("Title");
    const int impact = table.findColumn("IF");
    const int index = table.findColumn("Science Citation Index");
    const int address = table.findColumn("Address");
    int id = 0;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (++id == kRows / 2 - 49) id += 100;
        const std::string n = std::to_string(id);
        ASSERT_EQ(table.columns[static_cast<std::size_t>(title)].text(row), "Journal " + n) << row;
        ASSERT_EQ(table.columns[static_cast<std::size_t>(impact)].text(row),
                  std::to_string(id / 2) + (id % 2 ? ".5" : ".0"));
        ASSERT_EQ(table.columns[static_cast<std::size_t>(index)].text(row), id % 2 ? "True" : "False");
        ASSERT_EQ(table.columns[static_cast<std::size_t>(address)].isNull(row), id % 7 == 0);
    }
    // Each row keeps its own rowid across the join of the two parts: a post lands on that row.
    for (const int recNo : {1, kRows / 2 - 50, kRows / 2 - 49, kRows}) {
        journals.setRecNo(recNo);
        journals.edit();
        journals.setFieldAsString("Title", "Edited " + std::to_string(recNo));
        journals.post();
        const int rowid = recNo < kRows / 2 - 49 ? recNo : recNo + 100;
        EXPECT_EQ(test::queryText(dir.file("Database.mdb"),
                                  "SELECT Title FROM journals WHERE rowid = " + std::to_string(rowid)),
                  "Edited " + std::to_string(recNo));
    }
}

// Another program updates the first and the last journal to one new value in each of its commits
// while the table loads: a load that mixed two states of the file would show them different.
TEST(TableLoad, OneStateOfTheFileWhileAnotherConnectionWrites) {
    test::TempDir dir;
    const std::string path = dir.file("Database.mdb");
    test::createDatabase(path, manyJournals());
    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    connection.open();  // the file is in WAL mode from here on: the writer need not wait for readers
    const std::string ends = "WHERE rowid IN (1, " + std::to_string(kRows + 100) + ")";
    test::execSql(path, "UPDATE journals SET Title = 'start' " + ends);
    std::atomic<int> commits{0};
    std::jthread writer([&](const std::stop_token& stop) {
        for (int k = 0; !stop.stop_requested(); ++k) {
            test::execSql(path, "UPDATE journals SET Title = 'v" + std::to_string(k) +
                                    "' WHERE rowid IN (1, " + std::to_string(kRows + 100) + ")");
            ++commits;
        }
    });
    int loadsWithCommits = 0;
    for (int load = 0; load < 8; ++load) {
        const int before = commits;
        RecordSet journals("ADOQuery1", connection, "journals");
        journals.open();
        if (commits != before) ++loadsWithCommits;
        const Table& table = journals.snapshot();
        const Column& title = table.columns[static_cast<std::size_t>(table.findColumn("Title"))];
        ASSERT_EQ(table.rowCount(), static_cast<std::size_t>(kRows));
        EXPECT_EQ(title.text(0), title.text(table.rowCount() - 1)) << "load " << load;
    }
    writer.request_stop();
    writer.join();
    EXPECT_GT(loadsWithCommits, 0) << "the writer never committed during a load";
}

}  // namespace
}  // namespace lumaref
