// The converter's tests read Access files as lumaref-convert does: libmdb set to hand out UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("MDB_ICONV", "UTF-8", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
