#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace lumaref::test {

// Lowers this process's file-size limit for the lifetime of the object, with SIGXFSZ ignored, so a
// write past the limit fails with EFBIG as on a full disk instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previousLimit_{};
    struct sigaction previousAction_ {};
};

}  // namespace lumaref::test
