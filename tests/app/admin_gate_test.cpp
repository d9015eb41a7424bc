#include "app/admin_gate.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "app/admin_access_code.h"
#include "settings/access_code.h"

namespace lumaref {
namespace {

TEST(AdminGateTest, AdminModeOpensOnlyForTheExactCodeWithAdminMode) {
    const std::string code(test::kAdminAccessCode);
    std::string capitalised = code;
    capitalised[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
    std::string upper = code;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    struct Row {
        std::string text;
        const char* choice;
        bool opens;
    };
    const Row rows[] = {
        {code, "Admin Mode", true},
        {capitalised, "Admin Mode", false},
        {upper, "Admin Mode", false},
        {code + " ", "Admin Mode", false},
        {" " + code, "Admin Mode", false},
        {code.substr(0, code.size() - 1), "Admin Mode", false},
        {code + code.back(), "Admin Mode", false},
        {"", "Admin Mode", false},
        {code, "Journal Title", false},
        {code, "admin mode", false},
        {code, "", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(opensAdminMode(row.text, row.choice), row.opens)
            << "[" << row.text << "] [" << row.choice << "]";
    }
}

// A code the system administrator set replaces the program's own.
TEST(AdminGateTest, ACodeSetInTheSettingsReplacesTheProgramsOwn) {
    const std::optional<std::string> hash = hashAccessCode("open sesame");
    EXPECT_TRUE(opensAdminMode("open sesame", "Admin Mode", hash));
    EXPECT_FALSE(opensAdminMode("open sesame", "Journal Title", hash));
    EXPECT_FALSE(opensAdminMode(std::string(test::kAdminAccessCode), "Admin Mode", hash));
}

}  // namespace
}  // namespace lumaref
