// lumaref-convert: brings an Access database across into an SQLite database Lumaref opens.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"

namespace {

// libmdb prints its own warnings about damaged files straight to stderr, between and inside the lines
// this tool writes; while it works they go nowhere and the tool's own messages keep the original stream.
// Sanitizer builds keep them: the sanitizer's report would be lost with them.
class LibraryNoiseSilencer {
public:
    LibraryNoiseSilencer() {
#if !defined(__SANITIZE_ADDRESS__)
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
#endif
    }
    ~LibraryNoiseSilencer() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    LibraryNoiseSilencer(const LibraryNoiseSilencer&) = delete;
    LibraryNoiseSilencer& operator=(const LibraryNoiseSilencer&) = delete;

private:
    int saved_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 ? argv[0] : "lumaref-convert";
    lumaref::ConvertInvocation invocation;
    try {
        invocation = lumaref::parseConvertArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lumaref::UsageError& error) {
        std::cerr << "lumaref-convert: " << error.what() << "\n\n" << lumaref::convertUsage(program);
        return 2;
    }
    // Errors are collected and written once the library's own output is shut off again.
    std::ostringstream errors;
    int status = 0;
    {
        LibraryNoiseSilencer silencer;
        status = lumaref::runConvertInvocation(invocation, std::cout, errors, ::isatty(STDOUT_FILENO) == 1);
    }
    std::cerr << errors.str();
    return status;
}
