// An update killed part-way keeps every journal it posted, and nothing else, in a sound database file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <chrono>
#include <thread>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/postgres_connection.h"
#include "db/record_set.h"
#include "ranking/impact_factor_update.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

// Writes the title of every journal the moment its post has been committed; after the last post
// the test lets it make, waits on hold until it is killed.
class PostReporter : public RecordSetListener {
public:
    PostReporter(const RecordSet& journals, int reportFd, int holdFd, int posts)
        : journals_(journals), reportFd_(reportFd), holdFd_(holdFd), postsLeft_(posts) {}
    void rowsReset() override {}
    void rowAppended(int) override {}
    void cursorMoved(int) override {}
    void rowChanged(int position) override {
        const std::string line = std::string(journals_.valueAt(position, 0)) + "\n";
        if (write(reportFd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(3);
        if (--postsLeft_ > 0) return;
        char never = 0;
        const ssize_t got = read(holdFd_, &never, 1);  // returns only once the test has gone
        _exit(got == 0 ? 4 : 5);
    }

private:
    const RecordSet& journals_;
    int reportFd_;
    int holdFd_;
    int postsLeft_;
};

[[noreturn]] void runUpdate(int reportFd, int holdFd, int posts) {
    try {
        Connection connection(kDefaultConnectionString);
        RecordSet journals("ADOQuery1", connection, "journals");
        RecordSet ranking("ADOQuery2", connection, "jcr2018");
        journals.open();
        ranking.open();
        PostReporter reporter(journals, reportFd, holdFd, posts);
        journals.setListener(&reporter);
        NoWindow steps;
        updateImpactFactors(journals, ranking, steps);
    } catch (...) {
        _exit(2);
    }
    _exit(0);
}

TEST(KilledUpdate, KeepsExactlyThePostedJournalsInASoundFile) {
    constexpr int kJournals = 1000;
    constexpr int kKilledAfter = 400;
    test::TempDir dir;
    test::CurrentDir cwd(dir.path());
    std::string sql = "BEGIN;";
    for (int i = 0; i < kJournals; ++i) {
        const std::string issn = "1000-" + std::to_string(10000 + i);
        sql += "INSERT INTO journals (Title, ISSN) VALUES ('J" + std::to_string(i) + "', '" + issn + "');";
        sql +=
            "INSERT INTO jcr2018 (ISSN, \"Journal Impact Factor\", \"Total Cites\", "
            "\"Impact Factor without Journal Self Cites\") VALUES ('" +
            issn + "', '1.5', '10', '1.2');";
    }
    test::createDatabase(dir.file("Database.mdb"), sql + "COMMIT;");

    int reports[2];
    int hold[2];
    ASSERT_EQ(pipe(reports), 0);
    ASSERT_EQ(pipe(hold), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(reports[0]);
        close(hold[1]);
        runUpdate(reports[1], hold[0], kKilledAfter);
    }
    close(reports[1]);
    close(hold[0]);

    // Read reports until the writer holds after its last post, then kill it there.
    std::vector<std::string> reported;
    std::string pending;
    char buffer[4096];
    while (reported.size() < static_cast<std::size_t>(kKilledAfter)) {
        const ssize_t got = read(reports[0], buffer, sizeof buffer);
        if (got <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            reported.push_back(pending.substr(0, end));
    }
    ASSERT_EQ(kill(child, SIGKILL), 0);
    close(reports[0]);
    close(hold[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the update ended before the kill";
    ASSERT_EQ(reported.size(), static_cast<std::size_t>(kKilledAfter));
    for (int i = 0; i < kKilledAfter; ++i)
        ASSERT_EQ(reported[static_cast<std::size_t>(i)], "J" + std::to_string(i));

    const std::string db = dir.file("Database.mdb");
    EXPECT_EQ(test::queryText(db, "PRAGMA integrity_check"), "ok");
    // Exactly the reported journals, the first of the walk, hold the figures; no other journal changed.
    EXPECT_EQ(test::queryText(db, "SELECT count(*) FROM journals WHERE IF IS NOT NULL"),
              std::to_string(kKilledAfter));
    EXPECT_EQ(
        test::queryText(db, "SELECT count(*) FROM journals WHERE rowid <= " + std::to_string(kKilledAfter) +
                                " AND IF = '1.5' AND \"Total Cites\" = '10' AND "
                                "\"Impact Factor without Journal Self Cites\" = '1.2'"),
        std::to_string(kKilledAfter));
}

// On the server the posts travel ahead of their answers, each its own transaction: whatever a kill
// cuts off, the server holds the walk's first journals, each with all three figures, and nothing else.
TEST(KilledUpdate, PostgresKeepsAWholeCommittedPrefixOfTheWalk) {
    if (const auto reason = test::PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
    constexpr int kJournals = 20000;
    constexpr int kKillAfter = 1000;
    test::PostgresSchema schema;
    schema.exec(
        "CREATE TABLE journals (lumaref_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, \"Title\" text, "
        "\"ISSN\" text, \"E-ISSN\" text, \"IF\" text, \"Total Cites\" text, "
        "\"Impact Factor without Journal Self Cites\" text, "
        "\"Emerging Sources Citation Index\" boolean NOT NULL DEFAULT false);"
        "CREATE TABLE jcr2018 (lumaref_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, \"ISSN\" text, "
        "\"Journal Impact Factor\" text, \"Total Cites\" text, "
        "\"Impact Factor without Journal Self Cites\" text);"
        "INSERT INTO journals (\"Title\", \"ISSN\") SELECT 'J' || g, '1' || lpad(g::text, 3, '0') || '-' || "
        "lpad(g::text, 4, '0') FROM generate_series(1, " +
        std::to_string(kJournals) +
        ") g ORDER BY g;"
        "INSERT INTO jcr2018 (\"ISSN\", \"Journal Impact Factor\", \"Total Cites\", "
        "\"Impact Factor without Journal Self Cites\") SELECT \"ISSN\", '1.5', '10', '1.2' FROM journals;");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            Connection connection(schema.conninfo());
            RecordSet journals("ADOQuery1", connection, "journals");
            RecordSet ranking("ADOQuery2", connection, "jcr2018");
            journals.open();
            ranking.open();
            NoWindow steps;
            updateImpactFactors(journals, ranking, steps);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    PgConnection watcher(schema.conninfo());
    const auto updated = [&] {
        return std::stoi(
            std::string(watcher.exec("SELECT count(*) FROM journals WHERE \"IF\" IS NOT NULL").value(0, 0)));
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (updated() < kKillAfter && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the update ended before the kill";

    // The server rolls back what the killed program left open; then the stored journals are counted.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int stored = updated();
    EXPECT_GE(stored, kKillAfter);
    EXPECT_LT(stored, kJournals);
    EXPECT_EQ(
        schema.queryText("SELECT count(*) FROM journals WHERE \"IF\" = '1.5' AND \"Total Cites\" = '10' AND "
                         "\"Impact Factor without Journal Self Cites\" = '1.2' AND lumaref_key <= " +
                         std::to_string(stored)),
        std::to_string(stored))
        << "the first journals of the walk, each whole";
    EXPECT_EQ(
        schema.queryText("SELECT count(*) FROM journals WHERE (\"Total Cites\" IS NULL) <> (\"IF\" IS NULL)"),
        "0")
        << "no journal half written";
}

}  // namespace
}  // namespace lumaref
