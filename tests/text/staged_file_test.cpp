#include "text/staged_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "support/failing_sink.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

// A write that does not reach the disk whole ends the staging at once: the error names the step, the
// temporary file is gone while the object still lives, and the previous file is untouched.
TEST(StagedFileTest, AShortWriteAbandonsTheFile) {
    struct Row {
        const char* name;
        FileSink sink;
        std::size_t sizeLimit;  // 0: none
        int errnoValue;
    };
    const Row rows[] = {
        {"disk full part-way", test::fullDiskSink(5), 0, ENOSPC},
        {"flush fails", test::failingFlushSink(EIO), 0, EIO},
        {"file-size limit", systemFileSink(), 4096, EFBIG},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        const std::string target = dir.file("list.txt");
        test::writeFile(target, "previous\r\n");
        StagedFile file(target, StagedFile::Existing::Replace, row.sink);
        EXPECT_EQ(namesIn(dir.path()).size(), 2u);
        try {
            std::unique_ptr<test::FileSizeLimit> limit;
            if (row.sizeLimit > 0) limit = std::make_unique<test::FileSizeLimit>(row.sizeLimit);
            file.write(std::string(8192, 'x'));
            file.commit();
            ADD_FAILURE() << "the staging succeeded";
        } catch (const StagedFileError& failure) {
            EXPECT_STREQ(failure.what(), kStreamWriteError);
            EXPECT_EQ(failure.step(), StagedFileError::Step::Write);
            EXPECT_EQ(failure.errnoValue(), row.errnoValue);
        }
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"list.txt"});
        EXPECT_EQ(test::readFile(target), "previous\r\n");
    }
}

}  // namespace
}  // namespace lumaref
