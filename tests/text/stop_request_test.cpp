#include "text/stop_request.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace lumaref {
namespace {

bool readable(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & POLLIN) != 0;
}

// A signal handler's request wakes a poll on the descriptor, and a cleared one no longer does.
TEST(StopRequest, ASignalWakesAPollUntilCleared) {
    ASSERT_GE(stopRequestDescriptor(), 0);
    clearStopRequest();
    EXPECT_FALSE(stopRequested());
    EXPECT_FALSE(readable(stopRequestDescriptor()));
    const auto previous = std::signal(SIGUSR1, [](int) { requestStop(); });
    std::raise(SIGUSR1);
    std::signal(SIGUSR1, previous);
    EXPECT_TRUE(stopRequested());
    EXPECT_TRUE(readable(stopRequestDescriptor()));
    clearStopRequest();
    EXPECT_FALSE(stopRequested());
    EXPECT_FALSE(readable(stopRequestDescriptor()));
}

}  // namespace
}  // namespace lumaref
