#include "text/stop_request.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace lumaref {

namespace {

std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets it");

// Made before main(), so a signal handler never has to make it.
struct StopPipe {
    int read = -1;
    int write = -1;
    StopPipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
            read = ends[0];
            write = ends[1];
        }
    }
};
const StopPipe stopPipe;

}  // namespace

void requestStop() noexcept {
    requested.store(true);
    if (stopPipe.write >= 0) {
        const char byte = 1;
        // A full pipe is already readable: nothing is lost when this write fails.
        [[maybe_unused]] const ssize_t ignored = ::write(stopPipe.write, &byte, 1);
    }
}

bool stopRequested() noexcept { return requested.load(); }

int stopRequestDescriptor() noexcept { return stopPipe.read; }

void clearStopRequest() noexcept {
    requested.store(false);
    char bytes[64];
    while (stopPipe.read >= 0 && ::read(stopPipe.read, bytes, sizeof bytes) > 0) {
    }
}

}  // namespace lumaref
