#include "filter/null_bits.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <vector>

namespace lumaref {
namespace {

// Pushes `count` seeded random flags onto both the bits under test and a plain std::vector<bool>.
void pushFlags(NullBits& bits, std::vector<bool>& oracle, std::size_t count, std::mt19937& random) {
    for (std::size_t i = 0; i < count; ++i) {
        const bool flag = (random() & 1U) != 0;
        bits.push_back(flag);
        oracle.push_back(flag);
    }
}

void expectSame(const NullBits& bits, const std::vector<bool>& oracle) {
    ASSERT_EQ(bits.size(), oracle.size());
    for (std::size_t row = 0; row < oracle.size(); ++row) ASSERT_EQ(bits[row], oracle[row]) << "row " << row;
}

// Every alignment of the two parts of a load, then the shortening and growing an edit does after it.
TEST(NullBits, AppendingAndResizingKeepEveryFlagAsAVectorOfBoolWould) {
    for (const std::size_t first : {0U, 1U, 63U, 64U, 65U, 200U}) {
        for (const std::size_t second : {0U, 1U, 64U, 130U}) {
            SCOPED_TRACE(testing::Message() << first << " + " << second);
            std::mt19937 random(static_cast<unsigned>(first * 1000 + second));
            NullBits bits;
            NullBits later;
            std::vector<bool> oracle;
            std::vector<bool> laterOracle;
            pushFlags(bits, oracle, first, random);
            pushFlags(later, laterOracle, second, random);
            bits.append(later);
            oracle.insert(oracle.end(), laterOracle.begin(), laterOracle.end());
            expectSame(bits, oracle);

            const std::size_t shorter = oracle.size() / 2 + 1;
            bits.resize(shorter);
            oracle.resize(shorter);
            bits.resize(shorter + 70);  // the flags a shortening dropped come back clear
            oracle.resize(shorter + 70);
            bits.set(shorter, true);
            oracle[shorter] = true;
            pushFlags(bits, oracle, 3, random);
            expectSame(bits, oracle);
        }
    }
}

}  // namespace
}  // namespace lumaref
