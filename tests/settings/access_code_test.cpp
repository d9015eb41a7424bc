// The access code a system administrator sets: a salted hash in /etc/lumaref.conf, never the code.
#include "settings/access_code.h"

#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "settings/store_choice.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

TEST(AccessCode, ASaltedHashMatchesItsCodeAlone) {
    const std::string first = hashAccessCode("open sesame");
    const std::string second = hashAccessCode("open sesame");
    EXPECT_TRUE(first.starts_with("$6$")) << first;
    EXPECT_NE(first, second) << "each hash has a salt of its own";
    EXPECT_EQ(first.find("open sesame"), std::string::npos);
    for (const std::string& hash : {first, second}) {
        EXPECT_TRUE(matchesAccessCodeHash("open sesame", hash));
        for (const char* other : {"Open sesame", "open sesame ", "open", ""})
            EXPECT_FALSE(matchesAccessCodeHash(other, hash)) << other;
    }
    EXPECT_FALSE(matchesAccessCodeHash("open sesame", "open sesame")) << "a code written as it is is no hash";
    EXPECT_EQ(test::errorOf([] { hashAccessCode(""); }), "The access code is empty.");
    EXPECT_EQ(test::errorOf([] { hashAccessCode("two\nlines"); }), "The access code must be one line.");
}

// Only the system's file sets the code, and only as a hash; where database= was read is kept for the
// messages that name it.
TEST(AccessCode, OnlyTheSystemsFileSetsItAndOnlyAsAHash) {
    test::TempDir dir;
    const std::string hash = hashAccessCode("open sesame");
    test::writeFile(dir.file("system.conf"), "access-code=" + hash + "\ndatabase=postgresql://db/journals\n");
    test::writeFile(dir.file("user.conf"), "access-code=" + hashAccessCode("mine") + "\n");
    const Settings settings = loadSettings({dir.file("user.conf"), dir.file("system.conf")});
    EXPECT_EQ(settings.accessCode, hash);
    EXPECT_EQ(chooseStore(std::nullopt, settings).origin, "database= in " + dir.file("system.conf"));

    test::writeFile(dir.file("plain.conf"), "# the code itself\naccess-code=corvalsand\n");
    EXPECT_EQ(
        test::errorOf([&] { readSettingsFile(dir.file("plain.conf")); }),
        "The settings file '" + dir.file("plain.conf") +
            "', line 2: access-code= must be a hash made by 'lumaref --hash-code', not the code itself.");
}

}  // namespace
}  // namespace lumaref
