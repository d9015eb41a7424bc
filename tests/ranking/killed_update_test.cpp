// An update killed part-way keeps every journal it posted, and nothing else, in a sound database file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "ranking/impact_factor_update.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

// Writes the title of every journal the moment its post has been committed.
class PostReporter : public RecordSetListener {
public:
    PostReporter(const RecordSet& journals, int fd) : journals_(journals), fd_(fd) {}
    void rowsReset() override {}
    void rowAppended(int) override {}
    void cursorMoved(int) override {}
    void rowChanged(int position) override {
        const std::string line = std::string(journals_.valueAt(position, 0)) + "\n";
        if (write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(3);
    }

private:
    const RecordSet& journals_;
    int fd_;
};

[[noreturn]] void runUpdate(int fd) {
    try {
        Connection connection(kDefaultConnectionString);
        RecordSet journals("ADOQuery1", connection, "journals");
        RecordSet ranking("ADOQuery2", connection, "jcr2018");
        journals.open();
        ranking.open();
        PostReporter reporter(journals, fd);
        journals.setListener(&reporter);
        NoWindow steps;
        updateImpactFactors(journals, ranking, steps);
    } catch (...) {
        _exit(2);
    }
    _exit(0);
}

TEST(KilledUpdate, KeepsExactlyThePostedJournalsInASoundFile) {
    constexpr int kJournals = 20000;
    constexpr std::size_t kKillAfter = 400;
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

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        runUpdate(fds[1]);
    }
    close(fds[1]);

    // Read reports until enough posts were made, then kill the writer wherever it is.
    std::vector<std::string> reported;
    std::string pending;
    char buffer[4096];
    bool killed = false;
    for (;;) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            reported.push_back(pending.substr(0, end));
        if (!killed && reported.size() >= kKillAfter) {
            ASSERT_EQ(kill(child, SIGKILL), 0);
            killed = true;
        }
    }
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the update ended before the kill";
    ASSERT_LT(reported.size(), static_cast<std::size_t>(kJournals));

    const std::string db = dir.file("Database.mdb");
    EXPECT_EQ(test::queryText(db, "PRAGMA integrity_check"), "ok");
    // Posted rows are a prefix of the walk: every reported one, and at most the one whose commit
    // came just before the kill and its report.
    const int posted = std::stoi(test::queryText(db, "SELECT count(*) FROM journals WHERE IF IS NOT NULL"));
    const int reportedCount = static_cast<int>(reported.size());
    EXPECT_TRUE(posted == reportedCount || posted == reportedCount + 1) << posted << " vs " << reportedCount;
    EXPECT_EQ(test::queryText(db, "SELECT count(*) FROM journals WHERE IF IS NOT NULL AND rowid > " +
                                      std::to_string(posted)),
              "0");
    EXPECT_EQ(test::queryText(db, "SELECT count(*) FROM journals WHERE rowid <= " + std::to_string(posted) +
                                      " AND NOT (IF = '1.5' AND \"Total Cites\" = '10' AND "
                                      "\"Impact Factor without Journal Self Cites\" = '1.2')"),
              "0");
    for (int i = 0; i < reportedCount; ++i)
        ASSERT_EQ(reported[static_cast<std::size_t>(i)], "J" + std::to_string(i));
}

}  // namespace
}  // namespace lumaref
