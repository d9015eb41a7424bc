#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "alternating_rounds.h"
#include "operations.h"
#include "ratio_report.h"

namespace {

using lumaref::bench::Operation;

struct Case {
    const char* operation;
    const char* implementation;
    Operation run;
};

// In the order they run for each size, so each operation's peers run right beside it.
const Case kCases[] = {
    {"Open", "Lumaref", lumaref::bench::openLumaref},
    {"Open", "Sqlite", lumaref::bench::openSqlite},
    {"OpenSorted", "Lumaref", lumaref::bench::openSortedLumaref},
    {"OpenSorted", "Sqlite", lumaref::bench::openSqlite},
    {"OpenPostgres", "Lumaref", lumaref::bench::openPostgresLumaref},
    {"OpenPostgres", "Copy", lumaref::bench::openPostgresCopy},
    {"CategoryFilter", "Lumaref", lumaref::bench::categoryFilterLumaref},
    {"CategoryFilter", "Sqlite", lumaref::bench::categoryFilterSqlite},
    {"SearchFilter", "Lumaref", lumaref::bench::searchFilterLumaref},
    {"SearchFilter", "Sqlite", lumaref::bench::searchFilterSqlite},
    {"SearchFilter", "Memmem", lumaref::bench::searchFilterMemmem},
    {"SearchFilter", "RowByRow", lumaref::bench::searchFilterRowByRow},
    {"FirstSearch", "Lumaref", lumaref::bench::firstSearchLumaref},
    {"Keystrokes", "Lumaref", lumaref::bench::keystrokesLumaref},
    {"Keystrokes", "Sqlite", lumaref::bench::keystrokesSqlite},
    {"KeystrokesSorted", "Lumaref", lumaref::bench::keystrokesSortedLumaref},
    {"KeystrokesSorted", "Sqlite", lumaref::bench::keystrokesSortedSqlite},
    {"KeystrokesFigures", "Lumaref", lumaref::bench::keystrokesFiguresLumaref},
    {"OpenFigures", "Lumaref", lumaref::bench::openFiguresLumaref},
    {"OpenFigures", "Sqlite", lumaref::bench::openFiguresSqlite},
    {"FiguresPane", "Lumaref", lumaref::bench::figuresPaneLumaref},
    {"FiguresPane", "Sqlite", lumaref::bench::figuresPaneSqlite},
    {"Backspace", "Lumaref", lumaref::bench::backspaceLumaref},
    {"Backspace", "Sqlite", lumaref::bench::backspaceSqlite},
    {"SearchHandler", "Lumaref", lumaref::bench::searchHandlerLumaref},
    {"SearchHandler", "Sqlite", lumaref::bench::searchHandlerSqlite},
    {"Sort", "Lumaref", lumaref::bench::sortLumaref},
    {"Sort", "Sqlite", lumaref::bench::sortSqlite},
    {"UpdateLists", "Lumaref", lumaref::bench::updateListsLumaref},
    {"UpdateLists", "Sqlite", lumaref::bench::updateListsSqlite},
    {"ImportMasterList", "Lumaref", lumaref::bench::importLumaref},
    {"ImportMasterList", "Sqlite", lumaref::bench::importSqlite},
    {"ImportMasterList", "SqliteTransaction", lumaref::bench::importSqliteTransaction},
    {"ImportMasterListPostgres", "Lumaref", lumaref::bench::importPostgresLumaref},
    {"ImportMasterListPostgres", "Libpq", lumaref::bench::importPostgresLibpq},
    {"ExportJournalList", "Lumaref", lumaref::bench::exportLumaref},
    {"ExportJournalList", "Write", lumaref::bench::exportWrite},
    {"ExportXlsx", "Lumaref", lumaref::bench::exportXlsxLumaref},
    {"ExportXlsx", "Xlsxwriter", lumaref::bench::exportXlsxXlsxwriter},
    {"ExportCsv", "Lumaref", lumaref::bench::exportCsvLumaref},
    {"ExportCsv", "Write", lumaref::bench::exportCsvWrite},
    {"ExportCsv", "WriteCached", lumaref::bench::exportCsvWriteCached},
    {"Memory", "Lumaref", lumaref::bench::memoryLumaref},
    {"CsvLoad", "Lumaref", lumaref::bench::csvLoadLumaref},
    {"CsvLoad", "SqliteShell", lumaref::bench::csvLoadSqliteShell},
    {"CsvQuotes", "Lumaref", lumaref::bench::csvQuotesLumaref},
    {"CsvQuotes", "SqliteShell", lumaref::bench::csvQuotesSqliteShell},
    {"MasterListCsvWindow", "Lumaref", lumaref::bench::masterListWindowLumaref},
    {"MasterListCsvWindow", "SqliteAutocommit", lumaref::bench::masterListWindowSqlite},
    {"LoadSjr", "Lumaref", lumaref::bench::loadSjrLumaref},
    {"LoadSjr", "SqliteImport", lumaref::bench::loadSjrSqliteImport},
    {"LoadDoaj", "Lumaref", lumaref::bench::loadDoajLumaref},
    {"LoadDoaj", "SqliteImport", lumaref::bench::loadDoajSqliteImport},
    {"LoadJcr", "Lumaref", lumaref::bench::loadJcrLumaref},
    {"LoadJcr", "SqliteImport", lumaref::bench::loadJcrSqliteImport},
    {"LoadList", "Lumaref", lumaref::bench::loadListLumaref},
    {"LoadList", "SqliteImport", lumaref::bench::loadListSqliteImport},
    {"LoadMasterList", "Lumaref", lumaref::bench::loadMasterListLumaref},
    {"LoadMasterList", "SqliteImport", lumaref::bench::loadMasterListSqliteImport},
    {"ImpactFactorUpdate", "Lumaref", lumaref::bench::impactFactorUpdateLumaref},
    {"ImpactFactorUpdate", "Sqlite", lumaref::bench::impactFactorUpdateSqlite},
    {"ImpactFactorUpdate", "RowByRow", lumaref::bench::impactFactorUpdateRowByRow},
    {"ImpactFactorUpdatePostgres", "Lumaref", lumaref::bench::impactFactorUpdatePostgresLumaref},
    {"ImpactFactorUpdatePostgres", "Libpq", lumaref::bench::impactFactorUpdatePostgresLibpq},
    {"QuartileUpdate", "Lumaref", lumaref::bench::quartileUpdateLumaref},
    {"QuartileUpdate", "Sqlite", lumaref::bench::quartileUpdateSqlite},
    {"QuartileUpdate", "ByFilters", lumaref::bench::quartileUpdateByFilters},
    {"Refresh", "Lumaref", lumaref::bench::refreshLumaref},
    {"Refresh", "Sqlite", lumaref::bench::refreshSqlite},
    {"RefreshPostgres", "Lumaref", lumaref::bench::refreshPostgresLumaref},
    {"RefreshPostgres", "Libpq", lumaref::bench::refreshPostgresLibpq},
};

// --sizes=10000,100000 (our own flag, taken out before Google Benchmark reads the rest).
std::vector<std::uint64_t> takeSizes(int& argc, char** argv) {
    std::vector<std::uint64_t> sizes = {10'000, 100'000, 1'000'000};
    constexpr std::string_view kFlag = "--sizes=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, kFlag.size()) != kFlag) {
            argv[kept++] = argv[i];
            continue;
        }
        sizes.clear();
        std::string list(arg.substr(kFlag.size()));
        for (std::size_t start = 0; start <= list.size();) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            const std::string item = list.substr(start, comma - start);
            char* end = nullptr;
            const unsigned long long value = std::strtoull(item.c_str(), &end, 10);
            if (item.empty() || *end != '\0' || value == 0)
                throw std::invalid_argument("bad size '" + item + "'");
            sizes.push_back(value);
            start = comma + 1;
        }
    }
    argc = kept;
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(LUMAREF_JET_TESTDATA)
    // The conversion benchmark reads Access text as lumaref-convert does.
    setenv("MDB_ICONV", "UTF-8", 1);
#endif
    std::vector<std::uint64_t> sizes;
    try {
        sizes = takeSizes(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumaref_bench: %s (use --sizes=10000,100000,1000000)\n", e.what());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    for (std::uint64_t size : sizes) {
        for (const Case& c : kCases) {
            const std::string name =
                std::string(c.operation) + "/" + c.implementation + "/" + std::to_string(size);
            auto* bench = benchmark::RegisterBenchmark(
                name.c_str(), [run = c.run, size](benchmark::State& state) { run(state, size); });
            // No other options: they would add suffixes to the names the JSON consumers look for.
            bench->Unit(benchmark::kMillisecond);
        }
    }

    lumaref::bench::RatioReporter reporter;
    try {
        benchmark::RunSpecifiedBenchmarks(&reporter);
        lumaref::bench::runAlternatingRounds(reporter, sizes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumaref_bench: %s\n", e.what());
        return 1;
    }
    reporter.printRatios(std::cout, sizes);
    reporter.printTargets(std::cout);
    benchmark::Shutdown();
    return 0;
}
