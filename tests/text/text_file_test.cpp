#include "text/text_file.h"

#include "support/error_text.h"
#include "support/failing_sink.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/unprivileged_user.h"
#include "text/error.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>

namespace lumaref {
namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;
using test::TempDir;

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

// A text, or the reason the bytes are none ("!reason").
TEST(TextFileTest, DecodesTextOrSaysWhyItIsNone) {
    struct Row {
        std::string bytes;
        std::string text;
    };
    const std::string longest(kLongestLine, 'x');
    const Row rows[] = {
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\xEF\xBB\xBF"
         "Caf\xC3\xA9",
         "Caf\xC3\xA9"},
        {"\xEF\xBB\xBF", ""},
        {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF"},
        {"Caf\xE9", "Caf\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x93q\x94 \x9F", "\xE2\x80\x9Cq\xE2\x80\x9D \xC5\xB8"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\xEF\xBB\xBF\xE9", "\xC3\xA9"},
        // One bad byte decides for the whole text, so valid-looking pairs are read as two characters.
        {"\xC3\xA9 \xE9", "\xC3\x83\xC2\xA9 \xC3\xA9"},
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"abc\xE2\x82", "abc\xC3\xA2\xE2\x80\x9A"},
        {"\t\v\f\x7F", "\t\v\f\x7F"},
        // A Ctrl-Z ends the text, and what follows it decides nothing.
        {"Caf\xC3\xA9\x1A\xE9\0"s, "Caf\xC3\xA9"},
        // UTF-16 after its byte-order mark, in either byte order, beyond the first plane too.
        {"\xFF\xFE"
         "C\0a\0f\0\xE9\0\r\0\n\0=\xD8\0\xDE"s,
         "Caf\xC3\xA9\r\n\xF0\x9F\x98\x80"},
        {"\xFE\xFF\0C\0a\0f\0\xE9\xD8=\xDE\0"s, "Caf\xC3\xA9\xF0\x9F\x98\x80"},
        {"\xFF\xFE", ""},
        {"\xFF\xFE"
         "a\0\x1A\0\0"s,
         "a"},
        {longest + "\r\n" + longest, longest + "\r\n" + longest},
        // What is no text, and where.
        {"a\r\nb\nc\0d"s, "!it holds NUL bytes at line 3"},
        {"a\rb\r\r\n\x01"s, "!it holds control characters at line 4"},
        {"\xFF\xFE"
         "a\0\n\0\0\0"s,
         "!it holds NUL bytes at line 2"},
        {"\xFF\xFE"
         "a\0\0\xDC"s,
         "!its UTF-16 breaks off in the middle of a character at line 1"},
        {"\xFF\xFE"
         "a\0\0\xD8"s,
         "!its UTF-16 breaks off in the middle of a character at line 1"},
        {"\xFE\xFF\0a\0"s, "!its UTF-16 breaks off in the middle of a character at line 1"},
        {"a\n" + longest + "x", "!its line 2 is longer than 1 MiB"},
        // UTF-16 without its mark is not recognised, and its zero bytes show it.
        {"a\0b\0"s, "!it holds NUL bytes at line 1"},
    };
    for (const Row& row : rows) {
        const std::string bytes = row.bytes.substr(0, 40);
        try {
            EXPECT_EQ(decodeText(row.bytes), row.text) << "bytes [" << bytes << "]";
        } catch (const NotTextError& notText) {
            EXPECT_EQ("!" + std::string(notText.what()), row.text) << "bytes [" << bytes << "]";
        }
    }
}

// The file is refused where the fault is met, not after reading it whole: the rest of a file of one
// endless line is never read, nor what follows a Ctrl-Z.
TEST(TextFileTest, ReadsTextFilesAndRefusesOtherFilesWhereTheFaultIs) {
    TempDir dir;
    const std::string endless = dir.file("endless.txt");
    {
        std::FILE* file = std::fopen(endless.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string piece(std::size_t{1} << 20, 'x');
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(std::fwrite(piece.data(), 1, piece.size(), file), piece.size());
        std::fclose(file);
    }
    test::writeFile(dir.file("unicode.txt"), "\xFF\xFEP\0h\0\r\0\n\0"s);
    test::writeFile(dir.file("dos.txt"), "a\r\n\x1A" + std::string(std::size_t{4} << 20, '\0'));
    EXPECT_EQ(readTextFile(dir.file("unicode.txt")), "Ph\r\n");
    EXPECT_EQ(readTextFile(dir.file("dos.txt")), "a\r\n");
    EXPECT_EQ(test::errorOf([&] { readTextFile(endless); }),
              "The file \"" + endless + "\" is not a text file: its line 1 is longer than 1 MiB.");
    std::string text;
    EXPECT_THROW(readTextFileOrErrno(endless, text), NotTextError);
    EXPECT_LE(text.size(), kLongestLine + 65536);

    // A character of two UTF-16 units, and a CR LF, across the reader's 64 KiB pieces.
    const auto utf16 = [](std::string_view ascii) {
        std::string out;
        for (const char c : ascii) out += std::string{c, '\0'};
        return out;
    };
    const std::string head = "\xFF\xFE" + utf16(std::string(32766, 'a'));
    test::writeFile(dir.file("pieces.txt"),
                    head + std::string("=\xD8\0\xDE", 4) + utf16(std::string(32765, 'b') + "\r\nc"));
    EXPECT_EQ(readTextFile(dir.file("pieces.txt")),
              std::string(32766, 'a') + "\xF0\x9F\x98\x80" + std::string(32765, 'b') + "\r\nc");
    test::writeFile(dir.file("pieces.txt"), head + utf16("\r\n\x01"));
    EXPECT_EQ(test::errorOf([&] { readTextFile(dir.file("pieces.txt")); }),
              "The file \"" + dir.file("pieces.txt") +
                  "\" is not a text file: it holds control characters at line 2.");
}

TEST(TextFileTest, ReadErrorsNameTheFullPathAndTheReason) {
    TempDir dir;
    test::writeFile(dir.file("plain.txt"), "x");
    test::CurrentDir inside(dir.path());
    struct Row {
        const char* path;  // relative to the temporary directory
        std::string expected;
    };
    const Row rows[] = {
        {"missing.txt", "Cannot open file \"" + dir.file("missing.txt") + "\". No such file or directory"},
        {"./sub/../missing.txt",
         "Cannot open file \"" + dir.file("missing.txt") + "\". No such file or directory"},
        {"plain.txt/x.txt", "Cannot open file \"" + dir.file("plain.txt/x.txt") + "\". Not a directory"},
        {".", "Cannot open file \"" + dir.path() + "\". Is a directory"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(test::errorOf([&] { readWholeFile(row.path); }), row.expected) << row.path;
    }
    EXPECT_EQ(readWholeFile("plain.txt"), "x");
}

TEST(TextFileTest, ReplacementKeepsPermissionsOfTheFileItReplaces) {
    TempDir dir;
    const std::string path = dir.file("list.txt");
    test::writeFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    replaceFileAtomically(path, "new\r\n");
    EXPECT_EQ(test::readFile(path), "new\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

    const mode_t previousMask = umask(022);
    replaceFileAtomically(dir.file("fresh.txt"), "");
    umask(previousMask);
    EXPECT_EQ(fs::status(dir.file("fresh.txt")).permissions(), fs::perms(0644));
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"list.txt", "fresh.txt"}));
}

TEST(TextFileTest, FailedReplacementLeavesThePreviousFileAndNoTemporary) {
    const auto cannotCreate = [](const char* reason) {
        return [reason](const std::string& target) {
            return "Cannot create file \"" + target + "\". " + reason;
        };
    };
    const auto streamWriteError = [](const std::string&) { return std::string("Stream write error"); };
    struct Row {
        const char* name;
        const char* target;  // relative to the temporary directory
        FileSink sink;
        std::function<std::string(const std::string& target)> expected;
    };
    const Row rows[] = {
        {"disk full part-way", "list.txt", test::fullDiskSink(3), streamWriteError},
        {"disk full at once", "list.txt", test::fullDiskSink(0), streamWriteError},
        {"flush fails", "list.txt", test::failingFlushSink(EIO), streamWriteError},
        {"missing folder", "nowhere/list.txt", systemFileSink(), cannotCreate("No such file or directory")},
        {"folder is a file", "list.txt/inner.txt", systemFileSink(), cannotCreate("Not a directory")},
        {"target is a folder", "folder", systemFileSink(), cannotCreate("Is a directory")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        test::writeFile(dir.file("list.txt"), "previous\r\n");
        fs::create_directory(dir.file("folder"));
        const std::string target = dir.file(row.target);
        EXPECT_EQ(
            test::errorOf([&] { replaceFileAtomically(target, "a much longer replacement\r\n", row.sink); }),
            row.expected(target));
        EXPECT_EQ(test::readFile(dir.file("list.txt")), "previous\r\n");
        EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"list.txt", "folder"}));
        EXPECT_TRUE(namesIn(dir.file("folder")).empty());
    }
}

// The real system refusing bytes past a file-size limit, as a full disk does.
TEST(TextFileTest, WriteBeyondTheFileSizeLimitIsAStreamWriteError) {
    TempDir dir;
    const std::string path = dir.file("list.txt");
    test::writeFile(path, "previous\r\n");
    const std::string replacement(std::size_t{64} * 1024, 'x');
    std::string error;
    {
        test::FileSizeLimit limit(4096);
        error = test::errorOf([&] { replaceFileAtomically(path, replacement); });
    }
    EXPECT_EQ(error, "Stream write error");
    EXPECT_EQ(test::readFile(path), "previous\r\n");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"list.txt"}));

    replaceFileAtomically(path, replacement);
    EXPECT_EQ(test::readFile(path), replacement);
}

TEST(TextFileTest, ReplacementInAReadOnlyFolderFails) {
    TempDir dir;
    test::writeFile(dir.file("list.txt"), "previous");
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_EQ(test::errorOfUserWhoCannotWriteIn(dir.path(),
                                                [&] { replaceFileAtomically(dir.file("list.txt"), "new"); }),
              "Cannot create file \"" + dir.file("list.txt") + "\". Permission denied");
    EXPECT_EQ(test::readFile(dir.file("list.txt")), "previous");
}

}  // namespace
}  // namespace lumaref
