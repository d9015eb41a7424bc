#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace lumaref::demo {

// splitmix64: tiny, fast and fully specified, so the same seed gives the same data with any compiler
// or standard library (std::mt19937 is portable too, but its distributions are not).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // A stream of its own for one (seed, index) pair, so any journal can be made again on its own.
    static Random forItem(std::uint64_t seed, std::uint64_t stream, std::uint64_t index) {
        Random mixer(seed ^ (stream * 0xD1B54A32D192ED03ull));
        mixer.state_ += index * 0x9E3779B97F4A7C15ull;
        return Random(mixer.next());
    }

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, n); the modulo bias is far below anything the data could show.
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : next() % n; }
    // True with a probability of perMille / 1000.
    bool chance(unsigned perMille) { return below(1000) < perMille; }
    // Uniform in [0, 1) with 53 bits, from integer arithmetic only.
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    // An index chosen with the given relative weights.
    template <typename Weights>
    std::size_t weighted(const Weights& weights) {
        std::uint64_t total = 0;
        for (auto w : weights) total += static_cast<std::uint64_t>(w);
        std::uint64_t r = below(total);
        std::size_t i = 0;
        for (auto w : weights) {
            if (r < static_cast<std::uint64_t>(w)) return i;
            r -= static_cast<std::uint64_t>(w);
            ++i;
        }
        return i == 0 ? 0 : i - 1;
    }
    std::size_t weighted(std::initializer_list<unsigned> weights) {
        return weighted<std::initializer_list<unsigned>>(weights);
    }

private:
    std::uint64_t state_;
};

}  // namespace lumaref::demo
