#include "filter/two_thread_scan.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumaref
