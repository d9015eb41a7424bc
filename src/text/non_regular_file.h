#pragma once

#include <string>

namespace lumaref {

// What a path names when it exists but is neither a regular file nor a folder ("a named pipe (FIFO)",
// "a device", "a socket"), else the empty text. Sources are checked before they are opened: opening a
// FIFO waits for a writer that may never come, and a device may never end.
std::string nonRegularFileKind(const std::string& path);

}  // namespace lumaref
