#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "support/error_text.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

TEST(SettingsFileTest, ReadsKeysAndRefusesMalformedLines) {
    struct Row {
        const char* text;
        const char* data;      // nullptr: absent
        const char* database;  // nullptr: absent
        const char* error;     // nullptr: no error
    };
    const Row rows[] = {
        {"data=/srv/lumaref\n", "/srv/lumaref", nullptr, nullptr},
        {"  data = /srv/my lists \r\n# comment\n; comment\n\n", "/srv/my lists", nullptr, nullptr},
        {"database=postgresql://db.example/lumaref\ncolour=blue\n", nullptr,
         "postgresql://db.example/lumaref", nullptr},
        {"data=a=b", "a=b", nullptr, nullptr},
        {"data", nullptr, nullptr, "The settings file 'f', line 1: expected key=value"},
        {"\ndata=\n", nullptr, nullptr, "The settings file 'f', line 2: 'data' has no value"},
        {"data=a\ndata=b", nullptr, nullptr, "The settings file 'f', line 2: 'data' is given twice"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        if (row.error != nullptr) {
            EXPECT_EQ(test::errorOf([&] { parseSettings(row.text, "f"); }), row.error);
            continue;
        }
        const Settings settings = parseSettings(row.text, "f");
        EXPECT_EQ(settings.data.value_or("<absent>"), row.data != nullptr ? row.data : "<absent>");
        EXPECT_EQ(settings.database.value_or("<absent>"),
                  row.database != nullptr ? row.database : "<absent>");
    }
}

TEST(SettingsFileTest, TheUsersFileWinsKeyByKeyAndMissingFilesSayNothing) {
    test::TempDir dir;
    test::writeFile(dir.file("user.conf"), "data=/home/me/lumaref\n");
    test::writeFile(dir.file("system.conf"), "data=/srv/lumaref\nlists=/srv/lists\n");
    const Settings both = loadSettings({dir.file("user.conf"), dir.file("system.conf")});
    EXPECT_EQ(both.data, "/home/me/lumaref");
    EXPECT_EQ(both.lists, "/srv/lists");
    EXPECT_FALSE(both.database.has_value());

    const Settings none = loadSettings({dir.file("missing.conf"), dir.file("missing/too.conf")});
    EXPECT_FALSE(none.data || none.database || none.lists);
}

}  // namespace
}  // namespace lumaref
