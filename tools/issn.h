#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaref::demo {

// The ISSN check character of seven digits (0..9999999): weights 8 down to 2, modulo 11, 'X' for 10.
char issnCheckCharacter(std::uint32_t sevenDigits);
// "1234-5679": the seven digits with their check character.
std::string formatIssn(std::uint32_t sevenDigits);
// True for "NNNN-NNNC" with the right check character (an upper-case X only).
bool isValidIssn(std::string_view text);

// A pseudo-random permutation of 0..9999999, so journals get distinct, scattered ISSN numbers.
// A small Feistel network over 24 bits, walked until the value falls below ten million.
class IssnNumbers {
public:
    explicit IssnNumbers(std::uint64_t seed);
    std::uint32_t operator()(std::uint64_t index) const;

    static constexpr std::uint32_t kCount = 10'000'000;

private:
    std::uint32_t permute24(std::uint32_t value) const;
    std::array<std::uint32_t, 4> keys_{};
};

}  // namespace lumaref::demo
