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

    bool ran(const std::string& name) const { return find(name) != nullptr; }
    // Whether the median of the ratios of runs side by side (ours' n-th over the peer's n-th) moved by
    // less than `tolerance` (a fraction) over the last two.
    bool pairedRatioSteady(const std::string& ours, const std::string& peer, double tolerance) const;

private:
    struct Result {
        std::vector<double> times;                               // per repetition
        double milliseconds = 0;                                 // their median
        std::map<std::string, double> counters;                  // the last run's
        std::map<std::string, std::vector<double>> counterRuns;  // every run's, in order
    };
    const Result* find(const std::string& name) const;
    // Ours' n-th time over the peer's n-th, for every n both have.
    static std::vector<double> pairedRatios(const Result& ours, const Result& peer);

    std::map<std::string, Result> results_;  // by "<Operation>/<Implementation>/<journals>"
};

}  // namespace lumaref::bench
