#pragma once

#include "text/text_file.h"

#include <cerrno>
#include <cstddef>

namespace lumaref::test {

// A full disk: the first `capacity` bytes reach the file, then every write fails with ENOSPC.
FileSink fullDiskSink(std::size_t capacity);

// Every byte is written, but the final flush fails with `errnoValue`.
FileSink failingFlushSink(int errnoValue = EIO);

}  // namespace lumaref::test
