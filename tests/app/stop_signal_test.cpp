// The program ended by a signal (logout, shutdown, a lost display, Ctrl-C) leaves one database file, as a
// normal close does, and a file left in WAL by a program that is gone is one file again after the next run.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace lumaref::test {
namespace {

using Clock = std::chrono::steady_clock;

struct SignalCase {
    const char* name;
    int signal;
    bool leftInWalBefore;  // a program that is gone left the file in WAL, with a commit only in the log
};
void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

// Bytes 18 and 19 of an SQLite file: 1 for the rollback journal, 2 for WAL.
std::string journalBytes(const std::string& database) { return test::readFile(database).substr(18, 2); }

// Commits a journal in WAL mode and ends without closing, as a program killed after its last post.
void leaveInWal(const std::string& database) {
    const pid_t child = ::fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(database.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
                     "INSERT INTO journals (Title) VALUES ('Only in the log')",
                     nullptr, nullptr, nullptr);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// Whether the process has the file open, from its descriptors.
bool holdsOpen(pid_t pid, const std::string& path) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        if (fs::read_symlink(fd.path(), ec) == path) return true;
    }
    return false;
}

class StopSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(StopSignal, ClosesTheWindowAndLeavesOneDatabaseFile) {
    TempDir dir;
    const std::string data = dir.file("data");
    const std::string database = data + "/Database.mdb";
    fs::create_directories(data + "/lists");
    createDatabase(database);
    if (GetParam().leftInWalBefore) {
        leaveInWal(database);
        ASSERT_TRUE(fs::exists(database + "-wal"));
        ASSERT_EQ(journalBytes(database), "\x02\x02");
    }

    const pid_t program = ::fork();
    if (program == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("HOME", dir.path().c_str(), 1);
        ::freopen("/dev/null", "w", stderr);
        ::execl(LUMAREF_EXE, LUMAREF_EXE, "--data", data.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto started = Clock::now();
    while (!holdsOpen(program, fs::canonical(database).string()) &&
           Clock::now() - started < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(holdsOpen(program, fs::canonical(database).string()))
        << "the program did not open its database";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    ::kill(program, GetParam().signal);
    const auto signalled = Clock::now();
    int status = 0;
    while (::waitpid(program, &status, WNOHANG) == 0 && Clock::now() - signalled < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled);
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        ::kill(program, SIGKILL);
        ::waitpid(program, &status, 0);
        FAIL() << "the program was still running 10 s after the signal";
    }
    RecordProperty("milliseconds", static_cast<int>(took.count()));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "ended by a signal, or not as a normal close";
    EXPECT_FALSE(fs::exists(database + "-wal"));
    EXPECT_FALSE(fs::exists(database + "-shm"));
    EXPECT_EQ(journalBytes(database), "\x01\x01");
    if (GetParam().leftInWalBefore) {
        EXPECT_EQ(queryText(database, "SELECT count(*) FROM journals WHERE Title = 'Only in the log'"), "1");
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal,
                         ::testing::Values(SignalCase{"Terminate", SIGTERM, false},
                                           SignalCase{"HangUp", SIGHUP, false},
                                           SignalCase{"Interrupt", SIGINT, false},
                                           SignalCase{"TerminateAfterARunThatWasKilled", SIGTERM, true}),
                         CaseName());

}  // namespace
}  // namespace lumaref::test
