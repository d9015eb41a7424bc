#include "exchange/master_list_file.h"
#include "text/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <string>
#include <vector>

#include "support/case_name.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

using namespace std::string_literals;

std::vector<std::string> linesOf(std::string_view bytes) {
    MasterListLines lines(decodeText(bytes));
    std::vector<std::string> out;
    std::string_view line;
    while (lines.nextLine(line)) out.emplace_back(line);
    return out;
}

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* out) { *out << c.name; }

class MasterListLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(MasterListLinesTest, SplitsAndDecodes) { EXPECT_EQ(linesOf(GetParam().bytes), GetParam().lines); }

const LinesCase kLinesCases[] = {
    {"EmptyFile", "", {}},
    {"NoLineBreakAtAll", "1. A", {"1. A"}},
    {"LastLineWithoutBreak", "a\r\nb", {"a", "b"}},
    {"BreakAtTheEndAddsNoLine", "a\n", {"a"}},
    {"CrLfAndLf", "a\r\nb\nc\r\n", {"a", "b", "c"}},
    {"EmptyLinesAreLines", "a\n\n\r\nb", {"a", "", "", "b"}},
    {"OnlyABreak", "\r\n", {""}},
    {"LoneReturnsAreDropped", "a\rb\r\r\nc\r", {"ab", "c"}},
    {"OnlyLoneReturns", "\r\r", {""}},
    {"CtrlZEndsTheInput",
     "a\r\nb\x1A"
     "c\r\nd\r\n",
     {"a", "b"}},
    {"CtrlZFirst",
     "\x1A"
     "1. A\r\n",
     {}},
    {"CtrlZAfterBreak", "a\r\n\x1A", {"a"}},
    {"Utf8", "1. Caf\xC3\xA9\r\n", {"1. Caf\xC3\xA9"}},
    {"Utf8ByteOrderMarkSkipped",
     "\xEF\xBB\xBF"
     "1. A\r\n",
     {"1. A"}},
    {"Windows1252",
     "1. Caf\xE9\r\nCurrent Contents \x96 Arts\r\n",
     {"1. Caf\xC3\xA9", "Current Contents \xE2\x80\x93 Arts"}},
    // One program wrote the file: a single invalid byte makes every line Windows-1252.
    {"EncodingIsDecidedForTheWholeFile", "\xC3\xA9\r\n\xE9\r\n", {"\xC3\x83\xC2\xA9", "\xC3\xA9"}},
    {"BytesAfterCtrlZDoNotDecideTheEncoding", "Caf\xC3\xA9\x1A\xE9", {"Caf\xC3\xA9"}},
    {"Utf16LittleEndian",
     "\xFF\xFE"
     "1\0.\0 \0\xE9\0\r\0\n\0"s,
     {"1. \xC3\xA9"}},
};

INSTANTIATE_TEST_SUITE_P(Bytes, MasterListLinesTest, ::testing::ValuesIn(kLinesCases), test::CaseName());

TEST(MasterListLinesTest, ReadsLinesOfTheLongestLength) {
    const std::string longLine(kLongestLine, 'x');
    const std::vector<std::string> lines = linesOf("1. " + longLine.substr(3) + "\r\n" + longLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1. " + longLine.substr(3));
    EXPECT_EQ(lines[1], longLine);
}

TEST(MasterListFileTest, OpenErrorsFollowTheSystemErrorNumber) {
    test::TempDir dir;
    test::writeFile(dir.file("plain.txt"), "1. A\r\n");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    test::CurrentDir inside(dir.path());
    struct Row {
        std::string path;
        std::string text;
    };
    const Row rows[] = {
        {"missing.txt", "File not found"},
        {"", "File not found"},
        {"Select a text file to import data into the program database...", "File not found"},
        {dir.file("missing.txt"), "File not found"},
        {"nowhere/missing.txt", "Invalid filename"},
        {"plain.txt/inner.txt", "Invalid filename"},
        {std::string(300, 'n') + ".txt", "Invalid filename"},
        {".", "File access denied"},
        {dir.path(), "File access denied"},
        // Refused before opening: opening a FIFO would wait for a writer.
        {"pipe",
         "Cannot open file \"" + dir.file("pipe") + "\". It is a named pipe (FIFO), not a regular file"},
        {"/dev/zero", "Cannot open file \"/dev/zero\". It is a device, not a regular file"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(test::errorOf([&] { readMasterListFile(row.path); }), row.text) << row.path;
    EXPECT_EQ(readMasterListFile("plain.txt"), "1. A\r\n");
}

TEST(MasterListFileTest, TooManyOpenFiles) {
    test::TempDir dir;
    test::writeFile(dir.file("plain.txt"), "1. A\r\n");
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &previous), 0);
    // Hold descriptors up to a lowered limit, so the next open finds none free.
    rlimit lowered = previous;
    lowered.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> held;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) held.push_back(fd);
    // The error is looked at only once descriptors are free again: sanitizer checks may need one.
    std::exception_ptr failure;
    try {
        readMasterListFile(dir.file("plain.txt"));
    } catch (...) {
        failure = std::current_exception();
    }
    for (const int fd : held) ::close(fd);
    setrlimit(RLIMIT_NOFILE, &previous);
    EXPECT_EQ(test::errorOf([&] {
                  if (failure) std::rethrow_exception(failure);
              }),
              "Too many open files");
}

TEST(MasterListFileTest, ErrorNumbersWithoutOwnTextAreNamedByNumber) {
    struct Row {
        int errnoValue;
        const char* text;
    };
    const Row rows[] = {{ENFILE, "Too many open files"},
                        {EPERM, "File access denied"},
                        {ELOOP, "Invalid filename"},
                        {EIO, "I/O error 5"},
                        {ENXIO, "I/O error 6"}};
    for (const Row& row : rows)
        EXPECT_EQ(textFileErrorText(row.errnoValue, "/tmp/x.txt"), row.text) << row.errnoValue;
}

}  // namespace
}  // namespace lumaref
