// The first SIGTERM or SIGINT ends lumaref-convert wherever it is, in one huge record or in a long load,
// with one line, and leaves the database as it was: what a kill would leave, or less.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace lumaref {
namespace {

using Clock = std::chrono::steady_clock;

// Writes a file of `size` bytes or more in pieces: `start`, then `piece` over and over, then `end`.
void writeLarge(const std::string& path, std::string_view start, std::string_view piece, std::size_t size,
                std::string_view end) {
    std::ofstream out(path, std::ios::binary);
    out << start;
    std::string block;
    while (block.size() < (std::size_t{1} << 20)) block += piece;
    for (std::size_t written = start.size(); written < size; written += block.size()) out << block;
    out << end;
}

// How many bytes the process has read so far.
std::size_t bytesRead(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    std::size_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    return 0;
}

struct StopCase {
    const char* name;
    // Writes the source into the folder and gives the tool's arguments before the database.
    std::function<std::vector<std::string>(const test::TempDir&)> source;
    std::size_t signalAfterReading;  // bytes the tool has read when the signal goes
    int signal;
};
void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

class ConvertStopSignal : public ::testing::TestWithParam<StopCase> {};

TEST_P(ConvertStopSignal, EndsAtOnceWithOneLineAndLeavesTheDatabaseAsItWas) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database,
                         "INSERT INTO jcr2018 (ISSN) VALUES ('old'); "
                         "INSERT INTO journals (Title) VALUES ('Stored before')");
    const std::string before = test::readFile(database).substr(100);
    std::vector<std::string> arguments = GetParam().source(dir);
    arguments.push_back(database);

    std::vector<char*> argv{const_cast<char*>(LUMAREF_CONVERT_EXE)};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string errFile = dir.file("err.txt");
    const pid_t tool = ::fork();
    if (tool == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    bool endedEarly = false;
    const auto waitStart = Clock::now();
    while (bytesRead(tool) < GetParam().signalAfterReading &&
           Clock::now() - waitStart < std::chrono::seconds(60)) {
        if (::waitpid(tool, &status, WNOHANG) == tool) {
            endedEarly = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_FALSE(endedEarly) << "the tool ended before the signal: " << test::readFile(errFile);
    ::kill(tool, GetParam().signal);
    const auto signalled = Clock::now();
    rusage usage{};
    while (::wait4(tool, &status, WNOHANG, &usage) == 0 &&
           Clock::now() - signalled < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled);
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        ::kill(tool, SIGKILL);
        ::waitpid(tool, &status, 0);
        FAIL() << "the tool was still running 10 s after the signal";
    }
    RecordProperty("milliseconds", static_cast<int>(took.count()));
    RecordProperty("peakKilobytes", static_cast<int>(usage.ru_maxrss));

    // Ended by its own hand, promptly, with one line; a refusal met first is as good as the stop.
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_LT(took, std::chrono::seconds(3));
    const std::string err = test::readFile(errFile);
    EXPECT_TRUE(err == "lumaref-convert: Stopped. Nothing was loaded.\n" ||
                (err.find("Nothing was loaded.\n") != std::string::npos && err.find('\n') + 1 == err.size()))
        << err;
    EXPECT_EQ(test::readFile(database).substr(100), before);
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(fs::exists(database + suffix)) << suffix;
}

constexpr std::size_t kMegabyte = std::size_t{1} << 20;
const std::string kRankingHeader =
    "ISSN,Total Cites,Journal Impact Factor,Impact Factor without Journal Self Cites\n";
const std::string kMasterListHeader =
    "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n";

INSTANTIATE_TEST_SUITE_P(
    Loads, ConvertStopSignal,
    ::testing::Values(
        // One quoted field of 200 MB in lines of 80 bytes: no line is long, the record is.
        StopCase{"TermInOneRecordOf200MB",
                 [](const test::TempDir& d) {
                     writeLarge(d.file("record.csv"), kRankingHeader + "1234-5678,1,2,\"",
                                std::string(79, 'x') + "\n", 200 * kMegabyte, "\"\n");
                     return std::vector<std::string>{"--csv", d.file("record.csv"), "--table", "jcr2018"};
                 },
                 50 * kMegabyte, SIGTERM},
        StopCase{"IntInALongLoad",
                 [](const test::TempDir& d) {
                     writeLarge(d.file("ranking.csv"), kRankingHeader, "1234-5678,10,1.5,1.25\n",
                                96 * kMegabyte, "");
                     return std::vector<std::string>{"--csv", d.file("ranking.csv"), "--table", "jcr2018"};
                 },
                 96 * kMegabyte, SIGINT},
        StopCase{"TermInALongMasterList",
                 [](const test::TempDir& d) {
                     writeLarge(d.file("list.csv"), kMasterListHeader,
                                "Acta,1000-0001,,OSA,Washington,English,Optics\n", 64 * kMegabyte, "");
                     return std::vector<std::string>{"--master-list", d.file("list.csv"), "--category",
                                                     "Physics",       "--index",          "none"};
                 },
                 48 * kMegabyte, SIGTERM}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
