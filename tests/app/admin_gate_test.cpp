#include "app/admin_gate.h"

#include <gtest/gtest.h>

namespace lumaref {
namespace {

TEST(AdminGateTest, AdminModeOpensOnlyForTheExactCodeWithAdminMode) {
    struct Row {
        const char* text;
        const char* choice;
        bool opens;
    };
    const Row rows[] = {
        {"corvalsand", "Admin Mode", true},
        {"Corvalsand", "Admin Mode", false},
        {"CORVALSAND", "Admin Mode", false},
        {"corvalsand ", "Admin Mode", false},
        {" corvalsand", "Admin Mode", false},
        {"corvalsan", "Admin Mode", false},
        {"corvalsandd", "Admin Mode", false},
        {"", "Admin Mode", false},
        {"corvalsand", "Journal Title", false},
        {"corvalsand", "admin mode", false},
        {"corvalsand", "", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(opensAdminMode(row.text, row.choice), row.opens)
            << "[" << row.text << "] [" << row.choice << "]";
    }
}

}  // namespace
}  // namespace lumaref
