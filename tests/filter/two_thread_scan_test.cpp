#include "filter/two_thread_scan.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace lumaref {
namespace {

// Whichever side fails, both have ended before the failure reaches the caller: what they touch may be
// freed right after.
TEST(TwoThreads, BothSidesEndBeforeAFailureIsRethrown) {
    const struct {
        bool hereFails;
        bool thereFails;
        const char* rethrown;
    } cases[] = {
        {false, false, nullptr}, {true, false, "here"}, {false, true, "there"}, {true, true, "here"}};
    for (const auto& c : cases) {
        std::atomic<bool> hereEnded{false};
        std::atomic<bool> thereEnded{false};
        std::string caught;
        try {
            runOnTwoThreads(
                [&] {
                    hereEnded = true;
                    if (c.hereFails) throw std::runtime_error("here");
                },
                [&] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    thereEnded = true;
                    if (c.thereFails) throw std::runtime_error("there");
                });
        } catch (const std::runtime_error& failure) {
            caught = failure.what();
            EXPECT_TRUE(thereEnded.load()) << caught;
        }
        EXPECT_TRUE(hereEnded.load());
        EXPECT_TRUE(thereEnded.load());
        EXPECT_EQ(caught, c.rethrown != nullptr ? c.rethrown : "");
    }
}

// The helper runs one task at a time: a call from within its task, or from several threads at once,
// must still run both sides (on the calling thread when the helper is busy) rather than wait for it.
TEST(TwoThreads, CallsWhileTheHelperIsBusyRunBothSides) {
    const auto sum = [](int depth) {
        std::atomic<int> total{0};
        const auto nested = [&](const auto& self, int level) -> void {
            if (level == 0) {
                ++total;
                return;
            }
            runOnTwoThreads([&] { self(self, level - 1); }, [&] { self(self, level - 1); });
        };
        nested(nested, depth);
        return total.load();
    };
    std::atomic<int> concurrent{0};
    {
        std::jthread a([&] { concurrent += sum(4); });
        std::jthread b([&] { concurrent += sum(4); });
    }
    EXPECT_EQ(sum(3), 8);
    EXPECT_EQ(concurrent.load(), 32);
}

// A child forked while the helper exists (the Access reader is one) has the helper's memory but not its
// thread: waiting for it there would never end.
TEST(TwoThreads, AForkedChildRunsBothSidesItself) {
    runOnTwoThreads([] {}, [] {});  // the helper thread exists from here on
    const pid_t child = ::fork();
    if (child == 0) {
        int sides = 0;
        runOnTwoThreads([&] { ++sides; }, [&] { ++sides; });
        ::_exit(sides == 2 ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    pid_t ended = 0;
    for (int wait = 0; wait < 500 && ended == 0; ++wait) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the child waited for a helper thread it does not have";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace lumaref
