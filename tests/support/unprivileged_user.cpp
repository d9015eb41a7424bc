#include "support/unprivileged_user.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/error_text.h"

namespace lumaref::test {
namespace {

// The kernel's overflow id: no file the tests create belongs to it, and it needs no account.
constexpr uid_t kUnprivilegedId = 65534;

enum ChildExit { kRan = 0, kCannotDropRoot, kFolderWritable, kFolderClosed, kCannotReport };

bool dropRoot() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 &&
           ::setresgid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) == 0 &&
           ::setresuid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) == 0;
}

[[noreturn]] void runChild(int fd, const std::string& folder, const std::function<void()>& action) {
    if (!dropRoot()) ::_exit(kCannotDropRoot);
    if (::access(folder.c_str(), W_OK) == 0) ::_exit(kFolderWritable);
    if (::access(folder.c_str(), X_OK) != 0) ::_exit(kFolderClosed);
    const std::string error = errorOf(action);
    const bool reported = ::write(fd, error.data(), error.size()) == static_cast<ssize_t>(error.size());
    ::_exit(reported ? kRan : kCannotReport);
}

}  // namespace

std::string errorOfUserWhoCannotWriteIn(const std::string& folder, const std::function<void()>& action) {
    int fds[2];
    if (::pipe(fds) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], folder, action);
    }
    ::close(fds[1]);
    std::string error;
    char buffer[512];
    for (ssize_t got; child > 0 && (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        error.append(buffer, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        ADD_FAILURE() << "the action's process did not run to its end";
        return error;
    }
    const bool asRoot = ::geteuid() == 0;
    const std::string user = asRoot ? "uid " + std::to_string(kUnprivilegedId) : "this user";
    switch (WEXITSTATUS(status)) {
        case kRan:
            break;
        case kCannotDropRoot:
            ADD_FAILURE() << "cannot switch to " << user;
            break;
        case kFolderWritable:
            ADD_FAILURE() << folder << " is writable by " << user;
            break;
        case kFolderClosed:
            ADD_FAILURE() << folder << " cannot be entered by " << user;
            break;
        default:
            ADD_FAILURE() << "the action's error did not come back";
    }
    return error;
}

}  // namespace lumaref::test
