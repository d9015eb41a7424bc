#include "support/file_size_limit.h"

#include <gtest/gtest.h>

namespace lumaref::test {

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    EXPECT_EQ(sigaction(SIGXFSZ, &ignore, &previousAction_), 0);
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit_), 0);
    rlimit lowered = previousLimit_;
    lowered.rlim_cur = static_cast<rlim_t>(bytes);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previousLimit_);
    sigaction(SIGXFSZ, &previousAction_, nullptr);
}

}  // namespace lumaref::test
