#pragma once

#include <functional>
#include <string>

namespace lumaref::test {

// The text of the lumaref::Error that action throws, or "(no error)", when it runs as a user who may
// enter folder but not write in it. Root writes anywhere, so the action runs in a child process,
// which first drops a root user to an unprivileged one. Fails the test if folder is writable by,
// or closed to, the user the action runs as.
std::string errorOfUserWhoCannotWriteIn(const std::string& folder, const std::function<void()>& action);

}  // namespace lumaref::test
