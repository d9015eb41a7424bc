#include "ratio_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaref::bench {

namespace {

constexpr const char* kOperations[] = {"Open",
                                       "OpenSorted",
                                       "CategoryFilter",
                                       "SearchFilter",
                                       "FirstSearch",
                                       "Keystrokes",
                                       "KeystrokesSorted",
                                       "KeystrokesFigures",
                                       "OpenFigures",
                                       "FiguresPane",
                                       "Backspace",
                                       "SearchHandler",
                                       "Sort",
                                       "UpdateLists",
                                       "ImportMasterList",
                                       "ExportJournalList",
                                       "ExportXlsx",
                                       "ExportCsv",
                                       "Memory",
                                       "CsvLoad",
                                       "MasterListCsvWindow",
                                       "LoadSjr",
                                       "LoadDoaj",
                                       "LoadJcr",
                                       "LoadList",
                                       "LoadMasterList",
                                       "ImpactFactorUpdate",
                                       "QuartileUpdate",
                                       "OpenPostgres",
                                       "ImportMasterListPostgres",
                                       "ImpactFactorUpdatePostgres",
                                       "Refresh",
                                       "RefreshPostgres"};
constexpr const char* kPeers[] = {"Sqlite", "SqliteTransaction", "SqliteAutocommit", "Memmem",    "RowByRow",
                                  "Write",  "SqliteShell",       "SqliteImport",     "ByFilters", "Copy",
                                  "Libpq",  "Xlsxwriter",        "WriteCached"};

double toMilliseconds(double value, benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond:
            return value / 1e6;
        case benchmark::kMicrosecond:
            return value / 1e3;
        case benchmark::kMillisecond:
            return value;
        case benchmark::kSecond:
            return value * 1e3;
    }
    return value;
}

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
        Result& result = results_[run.benchmark_name()];
        result.times.push_back(toMilliseconds(run.GetAdjustedRealTime(), run.time_unit));
        std::vector<double> sorted = result.times;
        std::sort(sorted.begin(), sorted.end());
        result.milliseconds = sorted[sorted.size() / 2];
        for (const auto& [name, counter] : run.counters) {
            result.counters[name] = counter.value;
            result.counterRuns[name].push_back(counter.value);
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::vector<double> RatioReporter::pairedRatios(const Result& ours, const Result& peer) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.times.size() && i < peer.times.size(); ++i) {
        if (peer.times[i] > 0) ratios.push_back(ours.times[i] / peer.times[i]);
    }
    return ratios;
}

bool RatioReporter::pairedRatioSteady(const std::string& ours, const std::string& peer,
                                      double tolerance) const {
    const Result* mine = find(ours);
    const Result* theirs = find(peer);
    if (mine == nullptr || theirs == nullptr) return false;
    std::vector<double> ratios = pairedRatios(*mine, *theirs);
    if (ratios.size() < 3) return false;
    const double all = medianOf(ratios);
    ratios.resize(ratios.size() - 2);
    return all > 0 && std::abs(all - medianOf(ratios)) / all < tolerance;
}

const RatioReporter::Result* RatioReporter::find(const std::string& name) const {
    const auto it = results_.find(name);
    return it == results_.end() ? nullptr : &it->second;
}

void RatioReporter::printRatios(std::ostream& out, const std::vector<std::uint64_t>& sizes) const {
    out << "\nLumaref time / peer time, same data, same run (below 1: Lumaref is faster;"
           " the median of repetitions)\n";
    char line[256];
    std::snprintf(line, sizeof line, "%-15s %9s %12s  %s\n", "operation", "journals", "Lumaref ms", "peers");
    out << line;
    for (const char* operation : kOperations) {
        for (std::uint64_t size : sizes) {
            std::string suffix(1, '/');
            suffix += std::to_string(size);
            const Result* ours = find(std::string(operation) + "/Lumaref" + suffix);
            if (ours == nullptr) continue;
            std::string peers;
            if (std::string(operation) == "Memory") {
                peers = "snapshot " + format("%.0f MB", ours->counters.at("snapshot_bytes") / 1e6) +
                        " / file " + format("%.0f MB", ours->counters.at("db_bytes") / 1e6) + " = " +
                        format("%.2f", ours->counters.at("ratio")) + "; with folded copies " +
                        format("%.2f", ours->counters.at("ratio_after_search"));
            }
            for (const char* peer : kPeers) {
                const Result* theirs = find(std::string(operation) + "/" + peer + suffix);
                if (theirs == nullptr || theirs->milliseconds <= 0) continue;
                std::vector<double> ratios = pairedRatios(*ours, *theirs);
                if (ratios.size() < 2) {
                    peers += std::string(peer) + " " + format("%.3f ms", theirs->milliseconds) + " -> " +
                             format("%.3f", ours->milliseconds / theirs->milliseconds) + "   ";
                    continue;
                }
                // Runs side by side: the median ratio, and the middle half of the ratios as its spread.
                std::sort(ratios.begin(), ratios.end());
                peers += std::string(peer) + " " + format("%.3f ms", theirs->milliseconds) + " -> " +
                         format("%.3f", ratios[ratios.size() / 2]) + " (" +
                         format("%.3f", ratios[ratios.size() / 4]) + ".." +
                         format("%.3f", ratios[ratios.size() * 3 / 4]) + " over " +
                         std::to_string(ratios.size()) + " paired runs)   ";
            }
            std::snprintf(line, sizeof line, "%-15s %9llu %12.3f  ", operation,
                          static_cast<unsigned long long>(size), ours->milliseconds);
            out << line << peers << "\n";
        }
    }
}

bool RatioReporter::printTargets(std::ostream& out) const {
    struct Target {
        const char* what;
        const char* ours;
        const char* peer;     // nullptr: ours' own figure
        const char* counter;  // taken from ours' counters (and the peer's, with a peer), or nullptr for times
        double limit;
        bool atMost;  // the figure must be <= limit (else >= limit)
    };
    const Target targets[] = {
        {"search filter at 100k: Sqlite time / Lumaref time >= 5", "SearchFilter/Lumaref/100000",
         "SearchFilter/Sqlite/100000", nullptr, 5.0, false},
        {"search filter at 100k: Lumaref time / Memmem time <= 3", "SearchFilter/Lumaref/100000",
         "SearchFilter/Memmem/100000", nullptr, 3.0, true},
        {"open at 100k: Lumaref time / Sqlite time <= 1.5", "Open/Lumaref/100000", "Open/Sqlite/100000",
         nullptr, 1.5, true},
        {"memory at 1M: snapshot bytes / database file bytes <= 1.5", "Memory/Lumaref/1000000", nullptr,
         "ratio", 1.5, true},
        {"update lists at 100k: Lumaref time / Sqlite time <= 2", "UpdateLists/Lumaref/100000",
         "UpdateLists/Sqlite/100000", nullptr, 2.0, true},
        {"import at 100k: Lumaref time / Sqlite (one commit per row) time <= 1.5",
         "ImportMasterList/Lumaref/100000", "ImportMasterList/Sqlite/100000", nullptr, 1.5, true},
        {"import at 200k: the -wal file's largest size in MB < 64", "ImportMasterList/Lumaref/200000",
         nullptr, "wal_mb", 64.0, true},
        {"export at 100k: Lumaref time / Write time <= 5", "ExportJournalList/Lumaref/100000",
         "ExportJournalList/Write/100000", nullptr, 5.0, true},
        {"search handler at 100k: median ms < 5", "SearchHandler/Lumaref/100000", nullptr, "median_ms", 5.0,
         true},
        {"CSV load at 100k rows: Lumaref time / SqliteShell time <= 1.5", "CsvLoad/Lumaref/100000",
         "CsvLoad/SqliteShell/100000", nullptr, 1.5, true},
        {"CSV master list in the window at 10k rows: Lumaref time / SqliteAutocommit time <= 1.5",
         "MasterListCsvWindow/Lumaref/10000", "MasterListCsvWindow/SqliteAutocommit/10000", nullptr, 1.5,
         true},
        {"--sjr at 35k rows: Lumaref time / SqliteImport time <= 1.5", "LoadSjr/Lumaref/35000",
         "LoadSjr/SqliteImport/35000", nullptr, 1.5, true},
        {"--doaj at 35k rows: Lumaref time / SqliteImport time <= 1.5", "LoadDoaj/Lumaref/35000",
         "LoadDoaj/SqliteImport/35000", nullptr, 1.5, true},
        {"--jcr at 35k rows: Lumaref time / SqliteImport time <= 1.5", "LoadJcr/Lumaref/35000",
         "LoadJcr/SqliteImport/35000", nullptr, 1.5, true},
        {"--list at 35k rows: Lumaref time / SqliteImport time <= 1.5", "LoadList/Lumaref/35000",
         "LoadList/SqliteImport/35000", nullptr, 1.5, true},
        {"--master-list at 35k rows: Lumaref time / SqliteImport time <= 1.5", "LoadMasterList/Lumaref/35000",
         "LoadMasterList/SqliteImport/35000", nullptr, 1.5, true},
        {"impact-factor update at 100k: Lumaref time / Sqlite time <= 1.5",
         "ImpactFactorUpdate/Lumaref/100000", "ImpactFactorUpdate/Sqlite/100000", nullptr, 1.5, true},
        {"quartile update at 100k: Lumaref time / Sqlite time <= 1.5", "QuartileUpdate/Lumaref/100000",
         "QuartileUpdate/Sqlite/100000", nullptr, 1.5, true},
        {"keystrokes o..optic at 100k: median ms < 25", "Keystrokes/Lumaref/100000", nullptr, "median_ms",
         25.0, true},
        {"keystrokes typed on (op..optic) at 1M: median ms <= 2", "Keystrokes/Lumaref/1000000", nullptr,
         "measured_median_ms", 2.0, true},
        {"Backspace (opti..o) at 1M: median ms <= 1", "Backspace/Lumaref/1000000", nullptr,
         "measured_median_ms", 1.0, true},
        {"search filter at 1M: Lumaref time / Memmem time <= 0.6", "SearchFilter/Lumaref/1000000",
         "SearchFilter/Memmem/1000000", nullptr, 0.6, true},
        {"open at 1M: Lumaref time / Sqlite time <= 0.8", "Open/Lumaref/1000000", "Open/Sqlite/1000000",
         nullptr, 0.8, true},
        {"open at 1M with a saved sort by Title restored: Lumaref time / Sqlite time <= 0.8",
         "OpenSorted/Lumaref/1000000", "OpenSorted/Sqlite/1000000", nullptr, 0.8, true},
        {"open at 1M with 10 years of JCR, SJR and DOAJ: Lumaref time / Sqlite time <= 0.8",
         "OpenFigures/Lumaref/1000000", "OpenFigures/Sqlite/1000000", nullptr, 0.8, true},
        {"keystrokes typed on (op..optic) at 1M, every figure column shown: median ms <= 2",
         "KeystrokesFigures/Lumaref/1000000", nullptr, "measured_median_ms", 2.0, true},
        {"figures pane at 1M with 10 years of three sources: median ms <= 5", "FiguresPane/Lumaref/1000000",
         nullptr, "median_ms", 5.0, true},
        {"open from PostgreSQL at 100k: Lumaref time / Copy time <= 1.5", "OpenPostgres/Lumaref/100000",
         "OpenPostgres/Copy/100000", nullptr, 1.5, true},
        {"import onto PostgreSQL at 100k: Lumaref time / Libpq (a round trip per row) time <= 0.35",
         "ImportMasterListPostgres/Lumaref/100000", "ImportMasterListPostgres/Libpq/100000", nullptr, 0.35,
         true},
        {"impact-factor update on PostgreSQL at 100k: Lumaref time / Libpq (a round trip per row) time <= "
         "0.35",
         "ImpactFactorUpdatePostgres/Lumaref/100000", "ImpactFactorUpdatePostgres/Libpq/100000", nullptr,
         0.35, true},
        {"sort by IF at 1M: Lumaref time / Sqlite (ORDER BY) time <= 0.25", "Sort/Lumaref/1000000",
         "Sort/Sqlite/1000000", "IF_ms", 0.25, true},
        {"sort by Title at 1M: Lumaref time / Sqlite (ORDER BY) time <= 0.25", "Sort/Lumaref/1000000",
         "Sort/Sqlite/1000000", "Title_ms", 0.25, true},
        {"keystrokes typed on (op..optic) at 1M, sorted by IF: median ms <= 2",
         "KeystrokesSorted/Lumaref/1000000", nullptr, "measured_median_ms", 2.0, true},
        {"memory at 1M after the first search: bytes / database file bytes <= 1.1", "Memory/Lumaref/1000000",
         nullptr, "ratio_after_search", 1.1, true},
        {"XLSX export at 1M: Lumaref time / Xlsxwriter time <= 1.3", "ExportXlsx/Lumaref/1000000",
         "ExportXlsx/Xlsxwriter/1000000", nullptr, 1.3, true},
        {"XLSX export at 1M: extra memory MB < 64", "ExportXlsx/Lumaref/1000000", nullptr, "extra_mb", 64.0,
         true},
        {"CSV export at 1M: Lumaref time / Write (write + fsync) time <= 1.5", "ExportCsv/Lumaref/1000000",
         "ExportCsv/Write/1000000", nullptr, 1.5, true},
        {"refresh of one journal another program changed at 1M: median ms <= 10", "Refresh/Lumaref/1000000",
         nullptr, "median_ms", 10.0, true},
        {"refresh of one journal another program changed, on PostgreSQL at 1M: median ms <= 10",
         "RefreshPostgres/Lumaref/1000000", nullptr, "median_ms", 10.0, true},
    };
    out << "\nTargets\n";
    bool allMet = true;
    for (const Target& t : targets) {
        const Result* ours = find(t.ours);
        const Result* peer = t.peer != nullptr ? find(t.peer) : nullptr;
        if (ours == nullptr || (t.peer != nullptr && peer == nullptr)) {
            out << "  not run   " << t.what << "\n";
            continue;
        }
        double figure = t.counter != nullptr ? ours->counters.at(t.counter) : ours->milliseconds;
        if (peer != nullptr && t.counter != nullptr) {
            // Ours' n-th run over the peer's n-th, as for times: the median of those ratios.
            const std::vector<double>& mine = ours->counterRuns.at(t.counter);
            const std::vector<double>& theirs = peer->counterRuns.at(t.counter);
            std::vector<double> ratios;
            for (std::size_t i = 0; i < mine.size() && i < theirs.size(); ++i) {
                if (theirs[i] > 0) ratios.push_back(mine[i] / theirs[i]);
            }
            figure = ratios.empty() ? ours->counters.at(t.counter) / peer->counters.at(t.counter)
                                    : medianOf(ratios);
        } else if (peer != nullptr) {
            figure =
                t.atMost ? ours->milliseconds / peer->milliseconds : peer->milliseconds / ours->milliseconds;
        }
        const bool met = t.atMost ? figure <= t.limit : figure >= t.limit;
        allMet = allMet && met;
        out << (met ? "  met       " : "  MISSED    ") << t.what << ": " << format("%.3f", figure) << "\n";
    }
    return allMet;
}

}  // namespace lumaref::bench
