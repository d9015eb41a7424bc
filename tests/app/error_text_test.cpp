#include <gtest/gtest.h>

#include <stdexcept>

#include "app/handler_guard.h"
#include "support/case_name.h"
#include "text/error.h"

namespace lumaref {
namespace {

struct ErrorText {
    const char* name;
    const char* message;
    const char* shown;
};

void PrintTo(const ErrorText& text, std::ostream* out) { *out << text.name; }

class ErrorBoxTextTest : public ::testing::TestWithParam<ErrorText> {};

// A full stop follows a last character above "." (code 46) only.
TEST_P(ErrorBoxTextTest, AddsAFullStopAfterACharacterAboveTheFullStop) {
    EXPECT_EQ(errorBoxText(QString::fromUtf8(GetParam().message)), QString::fromUtf8(GetParam().shown));
    const std::optional<QString> caught = runCatching([] { throw Error(GetParam().message); });
    ASSERT_TRUE(caught.has_value());
    EXPECT_EQ(*caught, QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Guard, ErrorBoxTextTest,
    ::testing::Values(ErrorText{"Empty", "", ""}, ErrorText{"Letter", "Disk full", "Disk full."},
                      ErrorText{"FullStop", "Done.", "Done."}, ErrorText{"QuestionMark", "What?", "What?."},
                      ErrorText{"ExclamationMark", "Stop!", "Stop!"}, ErrorText{"Hyphen", "a-", "a-"},
                      ErrorText{"Comma", "a,", "a,"}, ErrorText{"Slash", "path/", "path/."},
                      ErrorText{"Digit", "x0", "x0."}, ErrorText{"Blank", "trailing ", "trailing "},
                      ErrorText{"Parenthesis", "(1)", "(1)"}, ErrorText{"Accented", "café", "café."},
                      ErrorText{"Persian", "فایل", "فایل."}, ErrorText{"Emoji", "🙂", "🙂."}),
    test::CaseName());

TEST(Guard, CatchesEveryExceptionAndPassesASuccess) {
    EXPECT_FALSE(runCatching([] {}).has_value());
    EXPECT_EQ(runCatching([] { throw std::runtime_error("I/O error 32"); }), QString("I/O error 32."));
    EXPECT_EQ(runCatching([] { throw 42; }), QString("Unexpected error."));
}

}  // namespace
}  // namespace lumaref
