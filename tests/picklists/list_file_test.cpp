#include "picklists/list_file.h"

#include "support/error_text.h"
#include "support/temp_dir.h"
#include "text/error.h"

#include <gtest/gtest.h>

namespace lumaref {
namespace {

using namespace std::string_literals;

using Items = std::vector<std::string>;
using test::TempDir;

TEST(ListFileTest, SplitsAtEveryKindOfLineBreak) {
    struct Row {
        std::string text;
        Items items;
    };
    const Row rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\nd\r", {"a", "b", "c", "d"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\n\r b", {"a", "", " b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {" x \r\n", {" x "}},
        {"a\0b\nc"s, {"a"}},
        {"a\r\n\0\r\nb"s, {"a"}},
        {"\0abc"s, {}},
    };
    for (const Row& row : rows) EXPECT_EQ(splitListText(row.text), row.items) << "[" << row.text << "]";
}

TEST(ListFileTest, ReadsUtf8AndOlderWindowsFiles) {
    struct Row {
        std::string bytes;
        Items items;
    };
    const Row rows[] = {
        {"\xEF\xBB\xBFPhysics\r\nCaf\xC3\xA9\r\n", {"Physics", "Caf\xC3\xA9"}},
        {"Caf\xE9\r\nNa\xEFve", {"Caf\xC3\xA9", "Na\xC3\xAFve"}},
        // Whatever follows a Ctrl-Z is not part of the text and cannot change its encoding.
        {"Caf\xC3\xA9\r\n\x1A\0\xE9"s, {"Caf\xC3\xA9"}},
        // Saved as "Unicode text".
        {"\xFF\xFEP\0h\0\r\0\n\0\xE9\0"s, {"Ph", "\xC3\xA9"}},
        {"\xFE\xFF\0P\0h\0\r\0\n\0\xE9"s, {"Ph", "\xC3\xA9"}},
    };
    TempDir dir;
    for (const Row& row : rows) {
        test::writeFile(dir.file("list.txt"), row.bytes);
        EXPECT_EQ(readListFile(dir.file("list.txt")), row.items) << "[" << row.bytes << "]";
    }
}

TEST(ListFileTest, WritesEachItemWithCrLfAndReadsItBack) {
    TempDir dir;
    const std::string path = dir.file("list.txt");
    const Items items = {"Physics", "", "Caf\xC3\xA9", " O'Brien "};
    writeListFile(path, items);
    EXPECT_EQ(test::readFile(path), "Physics\r\n\r\nCaf\xC3\xA9\r\n O'Brien \r\n");
    EXPECT_EQ(readListFile(path), items);

    writeListFile(path, {});
    EXPECT_TRUE(test::fileExists(path));
    EXPECT_EQ(test::readFile(path), "");
}

TEST(ListFileTest, ErrorsNameTheFileAndTheReason) {
    TempDir dir;
    const std::string path = categoriesListPath(dir.file("lists"));
    try {
        readListFile(path);
        ADD_FAILURE() << "reading a missing file succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + path + "\". No such file or directory");
    }
    test::writeFile(dir.file("binary.txt"), "Physics\r\nOp\0tics"s);
    EXPECT_EQ(
        test::errorOf([&] { readListFile(dir.file("binary.txt")); }),
        "The file \"" + dir.file("binary.txt") + "\" is not a text file: it holds NUL bytes at line 2.");
    try {
        writeListFile(path, {"Physics"});
        ADD_FAILURE() << "writing into a missing folder succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST(ListFileTest, ListPathsStayInTheirFolder) {
    EXPECT_EQ(categoriesListPath("/p/lists"), "/p/lists/categories.txt");
    EXPECT_EQ(frequenciesListPath("/p/shared lists/"), "/p/shared lists/ferequently.txt");
    struct Row {
        const char* listFolder;
        std::string category;
        std::optional<std::string> path;
    };
    const Row rows[] = {
        {"/p/lists/", "Physics", "/p/lists/subjects/Physics.txt"},
        {"/p/lists", "Physics", "/p/lists/subjects/Physics.txt"},
        {"/p/lists/", "", "/p/lists/subjects/.txt"},
        {"/p/lists/", "O'Brien", "/p/lists/subjects/O'Brien.txt"},
        {"/p/lists/", "...", "/p/lists/subjects/....txt"},
        {"/p/lists/", ".hidden", "/p/lists/subjects/.hidden.txt"},
        {"/p/lists/", "../x", std::nullopt},
        {"/p/lists/", "a/b", std::nullopt},
        {"/p/lists/", "a\\b", std::nullopt},
        {"/p/lists/", ".", std::nullopt},
        {"/p/lists/", "..", std::nullopt},
        {"/p/lists/", "a\0b"s, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(subjectListPath(row.listFolder, row.category), row.path) << "[" << row.category << "]";
    }
}

}  // namespace
}  // namespace lumaref
