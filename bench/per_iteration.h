#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace lumaref::bench {

// Times each iteration on its own, for a median beside Google Benchmark's mean.
class PerIteration {
public:
    void start() { begin_ = std::chrono::steady_clock::now(); }
    void stop() {
        times_.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin_).count());
    }
    void report(benchmark::State& state) {
        if (times_.empty()) return;
        std::sort(times_.begin(), times_.end());
        state.counters["median_ms"] = times_[times_.size() / 2];
        state.counters["p95_ms"] = times_[times_.size() * 95 / 100];
        state.counters["max_ms"] = times_.back();
    }

private:
    std::chrono::steady_clock::time_point begin_;
    std::vector<double> times_;
};

}  // namespace lumaref::bench
