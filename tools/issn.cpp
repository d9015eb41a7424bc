#include "issn.h"

#include "demo_random.h"

namespace lumaref::demo {

char issnCheckCharacter(std::uint32_t sevenDigits) {
    unsigned sum = 0;
    for (unsigned weight = 2; weight <= 8; ++weight) {
        sum += (sevenDigits % 10) * weight;
        sevenDigits /= 10;
    }
    const unsigned check = (11 - sum % 11) % 11;
    return check == 10 ? 'X' : static_cast<char>('0' + check);
}

std::string formatIssn(std::uint32_t sevenDigits) {
    std::string digits = std::to_string(sevenDigits % IssnNumbers::kCount);
    digits.insert(0, 7 - digits.size(), '0');
    return digits.substr(0, 4) + "-" + digits.substr(4) +
           issnCheckCharacter(sevenDigits % IssnNumbers::kCount);
}

bool isValidIssn(std::string_view text) {
    if (text.size() != 9 || text[4] != '-') return false;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == 4) continue;
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    return text[8] == issnCheckCharacter(value);
}

IssnNumbers::IssnNumbers(std::uint64_t seed) {
    Random random(seed ^ 0x155EULL);
    for (auto& key : keys_) key = static_cast<std::uint32_t>(random.next());
}

std::uint32_t IssnNumbers::permute24(std::uint32_t value) const {
    std::uint32_t left = value >> 12;
    std::uint32_t right = value & 0xFFF;
    for (std::uint32_t key : keys_) {
        std::uint32_t mixed = (right ^ key) * 0x9E3779B1u;
        mixed ^= mixed >> 15;
        const std::uint32_t next = left ^ (mixed & 0xFFF);
        left = right;
        right = next;
    }
    return (left << 12) | right;
}

std::uint32_t IssnNumbers::operator()(std::uint64_t index) const {
    // Cycle walking keeps the map one-to-one on 0..kCount-1.
    std::uint32_t value = permute24(static_cast<std::uint32_t>(index % kCount));
    while (value >= kCount) value = permute24(value);
    return value;
}

}  // namespace lumaref::demo
