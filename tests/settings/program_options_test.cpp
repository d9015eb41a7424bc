#include "settings/program_options.h"

#include <gtest/gtest.h>

#include "support/error_text.h"

namespace lumaref {
namespace {

TEST(ProgramOptionsTest, ReadsOurOptionsAndLeavesTheRestToTheToolkit) {
    using Mode = ProgramOptions::Mode;
    struct Row {
        std::vector<std::string> arguments;
        Mode mode;
        const char* data;     // nullptr: absent
        const char* toolkit;  // the arguments left, joined by blanks
        const char* error;    // nullptr: no error
    };
    const Row rows[] = {
        {{}, Mode::Run, nullptr, "", nullptr},
        {{"--data", "/srv/lumaref"}, Mode::Run, "/srv/lumaref", "", nullptr},
        {{"--data=my data", "-platform", "offscreen"}, Mode::Run, "my data", "-platform offscreen", nullptr},
        {{"--data", "-odd"}, Mode::Run, "-odd", "", nullptr},
        {{"--bogus", "--version"}, Mode::Version, nullptr, "--bogus", nullptr},
        {{"--version", "-h"}, Mode::Help, nullptr, "", nullptr},
        {{"--data"}, Mode::Run, nullptr, "", "'--data' needs a folder"},
        {{"--data="}, Mode::Run, nullptr, "", "'--data' needs a folder"},
        {{"--data=a", "--data", "b"}, Mode::Run, nullptr, "", "'--data' is given twice"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.arguments));
        if (row.error != nullptr) {
            EXPECT_EQ(test::errorOf([&] { parseProgramArguments(row.arguments); }), row.error);
            continue;
        }
        const ProgramOptions options = parseProgramArguments(row.arguments);
        EXPECT_EQ(options.mode, row.mode);
        EXPECT_EQ(options.dataFolder.value_or("<absent>"), row.data != nullptr ? row.data : "<absent>");
        std::string toolkit;
        for (const std::string& argument : options.toolkitArguments) {
            toolkit += (toolkit.empty() ? "" : " ") + argument;
        }
        EXPECT_EQ(toolkit, row.toolkit);
    }
}

}  // namespace
}  // namespace lumaref
