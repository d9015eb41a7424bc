#include "support/failing_sink.h"

#include <algorithm>
#include <memory>

namespace lumaref::test {

FileSink fullDiskSink(std::size_t capacity) {
    FileSink sink = systemFileSink();
    auto room = std::make_shared<std::size_t>(capacity);
    const auto writeAll = sink.write;
    sink.write = [room, writeAll](int fd, const char* data, std::size_t size) {
        const std::size_t accepted = std::min(size, *room);
        if (accepted > 0 && !writeAll(fd, data, accepted)) {
            return false;
        }
        *room -= accepted;
        if (accepted == size) {
            return true;
        }
        errno = ENOSPC;
        return false;
    };
    return sink;
}

FileSink failingFlushSink(int errnoValue) {
    FileSink sink = systemFileSink();
    sink.flush = [errnoValue](int) {
        errno = errnoValue;
        return false;
    };
    return sink;
}

}  // namespace lumaref::test
