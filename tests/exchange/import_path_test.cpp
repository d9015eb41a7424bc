#include "exchange/import_path.h"

#include <gtest/gtest.h>

namespace lumaref {
namespace {

TEST(ImportPathTest, BrowseProposesFolderAsCategoryAndNameAsSubject) {
    struct Row {
        const char* path;
        const char* category;
        const char* subject;
    };
    const Row rows[] = {
        {"/home/ann/Medicine/Cardiology.2018.txt", "Medicine", "Cardiology"},
        {"/home/ann/Medicine/Cardiology.txt", "Medicine", "Cardiology"},
        {"/Cardiology.txt", "", "Cardiology"},
        {"//Cardiology.txt", "", "Cardiology"},
        {"/srv//Physics/Optics.txt", "Physics", "Optics"},
        {"/home/ann/Medicine/Cardiology", "Medicine", "Cardiology"},
        {"/home/ann/Medicine/.hidden.txt", "Medicine", ""},
        {"/home/ann/Medicine/", "Medicine", ""},
        {"Cardiology.txt", "", "Cardiology"},
        {"", "", ""},
        {"/data/\xD9\x81\xD9\x8A\xD8\xB2\xD9\x8A\xD8\xA7\xD8\xA1/Caf\xC3\xA9.txt",
         "\xD9\x81\xD9\x8A\xD8\xB2\xD9\x8A\xD8\xA7\xD8\xA1", "Caf\xC3\xA9"},
    };
    for (const Row& row : rows) {
        const ImportNames names = importNamesForPath(row.path);
        EXPECT_EQ(names.category, row.category) << row.path;
        EXPECT_EQ(names.subject, row.subject) << row.path;
    }
}

TEST(ImportPathTest, PathFunctionsStayInsideTheirText) {
    EXPECT_EQ(LastFolderName("/a/Medicine"), "Medicine");
    EXPECT_EQ(LastFolderName("/"), "");
    EXPECT_EQ(LastFolderName("Medicine"), "Medicine");
    EXPECT_EQ(LastFolderName(""), "");
    EXPECT_EQ(TextBeforeFirstDot("a.b.c"), "a");
    EXPECT_EQ(TextBeforeFirstDot("Cardiology"), "Cardiology");
    EXPECT_EQ(TextBeforeFirstDot(".txt"), "");
    EXPECT_EQ(TextBeforeFirstDot(""), "");
}

}  // namespace
}  // namespace lumaref
