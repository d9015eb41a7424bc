#include "alternating_rounds.h"

#include <string>

namespace lumaref::bench {

namespace {

struct BatchPair {
    const char* operation;
    const char* peer;
};
constexpr BatchPair kBatchPairs[] = {{"Open", "Sqlite"},
                                     {"OpenSorted", "Sqlite"},
                                     {"OpenFigures", "Sqlite"},
                                     {"ImportMasterList", "Sqlite"},
                                     {"ImportMasterListPostgres", "Libpq"},
                                     {"MasterListCsvWindow", "SqliteAutocommit"},
                                     {"LoadSjr", "SqliteImport"},
                                     {"LoadDoaj", "SqliteImport"},
                                     {"LoadJcr", "SqliteImport"},
                                     {"LoadList", "SqliteImport"},
                                     {"LoadMasterList", "SqliteImport"},
                                     {"ImpactFactorUpdate", "Sqlite"},
                                     {"ImpactFactorUpdatePostgres", "Libpq"},
                                     {"QuartileUpdate", "Sqlite"},
                                     {"UpdateLists", "Sqlite"},
                                     {"Sort", "Sqlite"},
                                     {"ExportXlsx", "Xlsxwriter"},
                                     {"ExportCsv", "Write"},
                                     {"ExportCsv", "WriteCached"}};
constexpr std::size_t kMinRounds = 5;
constexpr std::size_t kMaxRounds = 25;
// The median of all rounds against the median without the last two.
constexpr double kSteady = 0.02;

void runOne(RatioReporter& reporter, const std::string& name) {
    benchmark::RunSpecifiedBenchmarks(&reporter, "^" + name + "$");
}

}  // namespace

void runAlternatingRounds(RatioReporter& reporter, const std::vector<std::uint64_t>& sizes) {
    for (const BatchPair& pair : kBatchPairs) {
        for (const std::uint64_t size : sizes) {
            const std::string suffix = "/" + std::to_string(size);
            const std::string ours = std::string(pair.operation) + "/Lumaref" + suffix;
            const std::string peer = std::string(pair.operation) + "/" + pair.peer + suffix;
            if (!reporter.ran(ours) || !reporter.ran(peer)) continue;
            for (std::size_t round = 1; round < kMaxRounds; ++round) {
                const bool oursFirst = round % 2 == 0;
                runOne(reporter, oursFirst ? ours : peer);
                runOne(reporter, oursFirst ? peer : ours);
                if (round + 1 >= kMinRounds && reporter.pairedRatioSteady(ours, peer, kSteady)) break;
            }
        }
    }
}

}  // namespace lumaref::bench
