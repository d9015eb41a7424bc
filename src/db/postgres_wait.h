#pragma once

#include <chrono>
#include <optional>

namespace lumaref {

// What ended a wait on the server's socket.
enum class SocketWait { Ready, TimedOut, StopRequested };

// Waits until `socket` can be read (and, when asked, written), the deadline passes, or a stop is
// requested (stop_request.h). Without a deadline only the other two end it. A signal that interrupts
// the wait without a stop request only resumes it.
SocketWait waitForSocket(int socket, bool forWriting,
                         std::optional<std::chrono::steady_clock::time_point> deadline);

}  // namespace lumaref
