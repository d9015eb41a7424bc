#include "db/postgres_wait.h"

#include <poll.h>

#include <cerrno>

#include "text/stop_request.h"

namespace lumaref {

SocketWait waitForSocket(int socket, bool forWriting,
                         std::optional<std::chrono::steady_clock::time_point> deadline) {
    using std::chrono::steady_clock;
    pollfd watched[2] = {{socket, static_cast<short>(POLLIN | (forWriting ? POLLOUT : 0)), 0},
                         {stopRequestDescriptor(), POLLIN, 0}};
    const nfds_t count = watched[1].fd >= 0 ? 2 : 1;
    for (;;) {
        if (stopRequested()) return SocketWait::StopRequested;
        int timeoutMs = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - steady_clock::now());
            if (left.count() <= 0) return SocketWait::TimedOut;
            timeoutMs = static_cast<int>(std::min<long long>(left.count(), 60'000));
        }
        const int ready = ::poll(watched, count, timeoutMs);
        if (ready < 0 && errno != EINTR) return SocketWait::Ready;  // libpq's next call says what is wrong
        if (ready > 0 && watched[0].revents != 0)
            return stopRequested() ? SocketWait::StopRequested : SocketWait::Ready;
    }
}

}  // namespace lumaref
