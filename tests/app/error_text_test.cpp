#include <gtest/gtest.h>

#include <stdexcept>

#include "app/handler_guard.h"
#include "text/error.h"

namespace lumaref {
namespace {

struct ErrorText {
    const char* message;
    const char* shown;
};

class ErrorBoxTextTest : public ::testing::TestWithParam<ErrorText> {};

// A full stop follows a last character above "." (code 46) only.
TEST_P(ErrorBoxTextTest, AddsAFullStopAfterACharacterAboveTheFullStop) {
    EXPECT_EQ(errorBoxText(QString::fromUtf8(GetParam().message)), QString::fromUtf8(GetParam().shown));
    const std::optional<QString> caught = runCatching([] { throw Error(GetParam().message); });
    ASSERT_TRUE(caught.has_value());
    EXPECT_EQ(*caught, QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Guard, ErrorBoxTextTest,
                         ::testing::Values(ErrorText{"", ""}, ErrorText{"Disk full", "Disk full."},
                                           ErrorText{"Done.", "Done."}, ErrorText{"What?", "What?."},
                                           ErrorText{"Stop!", "Stop!"}, ErrorText{"a-", "a-"},
                                           ErrorText{"a,", "a,"}, ErrorText{"path/", "path/."},
                                           ErrorText{"x0", "x0."}, ErrorText{"trailing ", "trailing "},
                                           ErrorText{"(1)", "(1)"}, ErrorText{"café", "café."},
                                           ErrorText{"فایل", "فایل."}, ErrorText{"🙂", "🙂."}));

TEST(Guard, CatchesEveryExceptionAndPassesASuccess) {
    EXPECT_FALSE(runCatching([] {}).has_value());
    EXPECT_EQ(runCatching([] { throw std::runtime_error("I/O error 32"); }), QString("I/O error 32."));
    EXPECT_EQ(runCatching([] { throw 42; }), QString("Unexpected error."));
}

}  // namespace
}  // namespace lumaref
