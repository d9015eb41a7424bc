#include "filter/substring_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstdint>
#include <cstring>

namespace lumaref {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The starts in `text` where `needle` (two bytes or more) may begin, tried a block at a time against
// its first two bytes, then confirmed against the rest.
class PairSearch {
public:
    PairSearch(std::string_view text, std::string_view needle)
        : s_(text.data()), size_(text.size()), needle_(needle), lastStart_(text.size() - needle.size()) {}

    // Blocks of Lanes::kStarts starts, each block reading the kStarts + 1 bytes from its first start;
    // the text is at least that long. The last block ends with the text and overlaps the one before.
    template <typename Lanes>
    std::size_t find() const {
        const Lanes lanes(needle_[0], needle_[1]);
        std::size_t start = 0;
        for (; start + Lanes::kStarts + 1 <= size_; start += Lanes::kStarts) {
            if (const std::size_t at = tryBlock(lanes, start, start); at != kNone) return at;
        }
        if (start > lastStart_) return kNone;
        return tryBlock(lanes, size_ - Lanes::kStarts - 1, start);
    }

    // One start at a time, for a text shorter than any block.
    std::size_t findByByte() const {
        for (std::size_t start = 0; start <= lastStart_; ++start) {
            if (s_[start] == needle_[0] && s_[start + 1] == needle_[1] && restMatches(start)) return start;
        }
        return kNone;
    }

private:
    // The block's starts from `from` on.
    template <typename Lanes>
    std::size_t tryBlock(const Lanes& lanes, std::size_t block, std::size_t from) const {
        auto hits = lanes.hits(s_ + block);
        hits &= decltype(hits)(~decltype(hits){0} << (Lanes::kBitsPerStart * (from - block)));
        for (; hits != 0; hits &= hits - 1) {
            const std::size_t at =
                block + static_cast<std::size_t>(std::countr_zero(hits)) / Lanes::kBitsPerStart;
            if (at > lastStart_) return kNone;
            if (restMatches(at)) return at;
        }
        return kNone;
    }

    // The bytes after the first two; a search word is short, and a loop beats a call to memcmp.
    bool restMatches(std::size_t at) const {
        const std::size_t size = needle_.size();
        if (size > kShortNeedle) return std::memcmp(s_ + at + 2, needle_.data() + 2, size - 2) == 0;
        for (std::size_t k = 2; k < size; ++k)
            if (s_[at + k] != needle_[k]) return false;
        return true;
    }

    static constexpr std::size_t kShortNeedle = 16;

    const char* s_;
    std::size_t size_;
    std::string_view needle_;
    std::size_t lastStart_;
};

// Eight starts in one 64-bit word: the high bit of byte k is set where start k has both bytes.
class WordLanes {
public:
    static constexpr std::size_t kStarts = 8;
    static constexpr std::size_t kBitsPerStart = 8;

    WordLanes(char first, char second)
        : first_(kOnes * static_cast<unsigned char>(first)),
          second_(kOnes * static_cast<unsigned char>(second)) {}

    std::uint64_t hits(const char* p) const {
        return zeroBytes((load(p) ^ first_) | (load(p + 1) ^ second_));
    }

private:
    static constexpr std::uint64_t kOnes = 0x0101010101010101;
    static constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7f;

    // Eight bytes from p, the byte at p lowest whatever the machine's byte order.
    static std::uint64_t load(const char* p) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        return word;
    }
    // The high bit of every byte of v that is zero, and no other bit.
    static std::uint64_t zeroBytes(std::uint64_t v) { return ~(((v & kLow7) + kLow7) | v | kLow7); }

    std::uint64_t first_;
    std::uint64_t second_;
};

#if defined(__SSE2__)
// Sixteen starts in one SSE2 register: bit k is set where start k has both bytes.
class VectorLanes {
public:
    static constexpr std::size_t kStarts = 16;
    static constexpr std::size_t kBitsPerStart = 1;

    VectorLanes(char first, char second) : first_(_mm_set1_epi8(first)), second_(_mm_set1_epi8(second)) {}

    std::uint32_t hits(const char* p) const {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, first_), _mm_cmpeq_epi8(next, second_))));
    }

private:
    __m128i first_;
    __m128i second_;
};
#endif

}  // namespace

std::size_t findSubstring(std::string_view text, std::string_view needle) {
    if (needle.empty()) return 0;
    if (needle.size() > text.size()) return kNone;
    if (needle.size() == 1) {
        const void* at = std::memchr(text.data(), needle[0], text.size());
        return at == nullptr ? kNone : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
    }
    const PairSearch search(text, needle);
#if defined(__SSE2__)
    if (text.size() > VectorLanes::kStarts) return search.find<VectorLanes>();
#endif
    if (text.size() > WordLanes::kStarts) return search.find<WordLanes>();
    return search.findByByte();
}

}  // namespace lumaref
