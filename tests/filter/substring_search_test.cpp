#include "filter/substring_search.h"

#include <gtest/gtest.h>

#include <string>

#include "demo_random.h"

namespace lumaref {
namespace {

// Every first occurrence as std::string_view::find finds it, over texts of every length around the
// eight- and sixteen-start blocks (so the last, overlapping block is met at each offset), from an
// alphabet small enough that the needle's first two bytes often meet without the rest.
TEST(SubstringSearch, FindsWhatFindFinds) {
    const std::string alphabet[] = {"a", "b", "o", "p", "\xc3", "\xa9"};  // é split into its two bytes
    demo::Random random(7);
    const auto word = [&](std::size_t length) {
        std::string text;
        while (text.size() < length) text += alphabet[random.below(std::size(alphabet))];
        return text;
    };
    for (std::size_t length = 0; length <= 40; ++length) {
        for (int round = 0; round < 400; ++round) {
            const std::string text = word(length);
            const std::string needle = round % 4 == 0 && length > 0
                                           ? text.substr(random.below(length), 1 + random.below(5))
                                           : word(random.below(6));
            ASSERT_EQ(findSubstring(text, needle), std::string_view(text).find(needle))
                << "'" << needle << "' in '" << text << "'";
        }
    }
}

// A text is a view into a column's bytes: the search reads nothing past its end, whatever follows.
TEST(SubstringSearch, ReadsOnlyItsText) {
    const std::string arena = "xxoptics" + std::string(40, 'q') + "op";
    for (std::size_t end = 2; end <= arena.size(); ++end) {
        const std::string_view text = std::string_view(arena).substr(2, end - 2);
        EXPECT_EQ(findSubstring(text, "optic"), text.find("optic")) << end;
        EXPECT_EQ(findSubstring(text, "qo"), text.find("qo")) << end;
        EXPECT_EQ(findSubstring(text, "qop"), text.find("qop")) << end;
    }
}

}  // namespace
}  // namespace lumaref
