#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace lumaref::bench {

// The console output of Google Benchmark, keeping each run's time and counters for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // Lumaref's time over each peer's, per operation and size; then the targets, met or missed.
    void printRatios(std::ostream& out, const std::vector<std::uint64_t>& sizes) const;
    // False when a target that was measured was missed.
    bool printTargets(std::ostream& out) const;

private:
    struct Result {
        std::vector<double> times;  // per repetition
        double milliseconds = 0;    // their median
        std::map<std::string, double> counters;
    };
    const Result* find(const std::string& name) const;

    std::map<std::string, Result> results_;  // by "<Operation>/<Implementation>/<journals>"
};

}  // namespace lumaref::bench
