#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumaref {

// One flag per row, 64 to a word. Unlike std::vector<bool>, appending another run of flags moves whole
// words: joining the two halves of a million-row load copied its null flags one bit at a time.
class NullBits {
public:
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return words_.capacity() * kBits; }
    bool operator[](std::size_t row) const { return ((words_[row / kBits] >> (row % kBits)) & 1U) != 0; }

    void set(std::size_t row, bool value) {
        const std::uint64_t bit = std::uint64_t{1} << (row % kBits);
        words_[row / kBits] = value ? words_[row / kBits] | bit : words_[row / kBits] & ~bit;
    }
    void push_back(bool value) {
        if (size_ % kBits == 0) words_.push_back(0);
        if (value) words_.back() |= std::uint64_t{1} << (size_ % kBits);
        ++size_;
    }
    void append(const NullBits& later) {
        const std::size_t shift = size_ % kBits;
        const std::size_t words = wordsFor(size_ + later.size_);
        words_.reserve(words);
        if (shift == 0) {
            words_.insert(words_.end(), later.words_.begin(), later.words_.end());
        } else {
            for (const std::uint64_t word : later.words_) {
                words_.back() |= word << shift;
                words_.push_back(word >> (kBits - shift));
            }
            words_.resize(words);  // the last word pushed may hold only bits past the end, all clear
        }
        size_ += later.size_;
    }
    // Shortening clears the flags past the new end, so a later push_back finds them clear.
    void resize(std::size_t rows) {
        words_.resize(wordsFor(rows), 0);
        if (rows < size_ && rows % kBits != 0) words_.back() &= (std::uint64_t{1} << (rows % kBits)) - 1;
        size_ = rows;
    }
    void reserve(std::size_t rows) { words_.reserve(wordsFor(rows)); }
    void shrink_to_fit() { words_.shrink_to_fit(); }

private:
    static constexpr std::size_t kBits = 64;
    static std::size_t wordsFor(std::size_t rows) { return (rows + kBits - 1) / kBits; }

    std::vector<std::uint64_t> words_;
    std::size_t size_ = 0;
};

}  // namespace lumaref
