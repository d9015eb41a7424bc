// The loaders of lumaref-convert (--sjr, --doaj, --jcr, --list, --master-list), each in one transaction,
// against the sqlite3 shell importing the same file into one table of an empty database: the floor of
// reading a CSV file into SQLite at all.
#include "operations.h"

#if defined(LUMAREF_CSV_LOAD_BENCH)
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_data.h"
#include "convert/csv_master_list_load.h"
#include "convert/ranking_load.h"
#include "db/new_database.h"
#include "demo_ranking_files.h"
#include "per_iteration.h"
#include "text/text_file.h"

extern char** environ;

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

// Ranking files come at the size of the real downloads (tens of thousands of rows); the largest sizes
// would only make files nobody loads.
constexpr std::uint64_t kLargestFile = 200'000;
constexpr int kYear = 2023;

enum class Download : std::uint8_t { Sjr, Doaj, Jcr, List, MasterList };

struct DownloadFile {
    const char* name;
    std::string (*make)(std::uint64_t seed, std::uint64_t rows);
    // The shell's commands that import it into one new table ("FILE" stands for its path).
    std::vector<std::string> shellCommands;
};

std::string sjr(std::uint64_t seed, std::uint64_t rows) { return demo::sjrDownload(seed, rows, kYear); }
std::string jcr(std::uint64_t seed, std::uint64_t rows) { return demo::jcrExport(seed, rows, kYear); }

const DownloadFile& fileOf(Download download) {
    static const DownloadFile kFiles[] = {
        // --csv would set the separator to a comma: the SJR download keeps csv mode with its own.
        {"scimagojr.csv", sjr, {".mode csv", ".separator ;", ".import FILE sjr"}},
        {"journalcsv.csv", demo::doajJournalCsv, {".import --csv FILE doaj"}},
        {"jcr-export.csv", jcr, {".import --csv --skip 1 FILE jcr"}},
        {"own-list.csv", demo::ownList, {".import --csv FILE own_list"}},
        {"Science Citation Index Expanded (SCIE).csv",
         demo::masterListDownload,
         {".import --csv FILE master_list"}},
    };
    return kFiles[static_cast<std::size_t>(download)];
}

std::string downloadFor(Download download, std::uint64_t rows) {
    const fs::path path = fs::path(dataDirFor(rows)) / "ranking-files" / fileOf(download).name;
    if (!fs::exists(path)) {
        fs::create_directories(path.parent_path());
        replaceFileAtomically(path.string(), fileOf(download).make(1, rows));
    }
    return path.string();
}

std::string newDatabase(std::uint64_t rows, const char* name) {
    const fs::path path = fs::path(dataDirFor(rows)) / name;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(path.string() + suffix);
    createNewDatabase(path.string(), false);
    return path.string();
}

template <typename Load>
void timedLoads(benchmark::State& state, std::uint64_t rows, Download download, const char* database,
                Load load) {
    if (rows > kLargestFile) {
        state.SkipWithError("ranking files are loaded at the size of real downloads");
        return;
    }
    const std::string csv = downloadFor(download, rows);
    PerIteration times;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = newDatabase(rows, database);
        state.ResumeTiming();
        times.start();
        const bool ok = load(csv, path);
        times.stop();
        if (!ok) {
            state.SkipWithError("the load failed");
            return;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    times.report(state);
}

// sqlite3 DB ".import ...": the shell wraps the import in one transaction.
bool shellImport(Download download, const std::string& csv, const std::string& database) {
    std::vector<std::string> arguments = {"sqlite3", database};
    for (std::string command : fileOf(download).shellCommands) {
        if (const std::size_t at = command.find("FILE"); at != std::string::npos)
            command.replace(at, 4, "\"" + csv + "\"");
        arguments.push_back(std::move(command));
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, "sqlite3", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void rankingLumaref(benchmark::State& state, std::uint64_t rows, Download download, RankingLayout layout) {
    timedLoads(state, rows, download, "ranking-lumaref.mdb",
               [layout](const std::string& csv, const std::string& db) {
                   RankingFileRequest request{layout, std::nullopt, "Approved journals", kYear};
                   return loadRankingFile(csv, db, request).stored.figures > 0;
               });
}

void importPeer(benchmark::State& state, std::uint64_t rows, Download download) {
    timedLoads(
        state, rows, download, "ranking-shell.mdb",
        [download](const std::string& csv, const std::string& db) { return shellImport(download, csv, db); });
}

}  // namespace

void loadSjrLumaref(benchmark::State& state, std::uint64_t rows) {
    rankingLumaref(state, rows, Download::Sjr, RankingLayout::Sjr);
}
void loadSjrSqliteImport(benchmark::State& state, std::uint64_t rows) {
    importPeer(state, rows, Download::Sjr);
}
void loadDoajLumaref(benchmark::State& state, std::uint64_t rows) {
    rankingLumaref(state, rows, Download::Doaj, RankingLayout::Doaj);
}
void loadDoajSqliteImport(benchmark::State& state, std::uint64_t rows) {
    importPeer(state, rows, Download::Doaj);
}
void loadJcrLumaref(benchmark::State& state, std::uint64_t rows) {
    rankingLumaref(state, rows, Download::Jcr, RankingLayout::Jcr);
}
void loadJcrSqliteImport(benchmark::State& state, std::uint64_t rows) {
    importPeer(state, rows, Download::Jcr);
}
void loadListLumaref(benchmark::State& state, std::uint64_t rows) {
    rankingLumaref(state, rows, Download::List, RankingLayout::OwnList);
}
void loadListSqliteImport(benchmark::State& state, std::uint64_t rows) {
    importPeer(state, rows, Download::List);
}
void loadMasterListLumaref(benchmark::State& state, std::uint64_t rows) {
    timedLoads(state, rows, Download::MasterList, "ranking-lumaref.mdb",
               [](const std::string& csv, const std::string& db) {
                   return loadMasterListIntoDatabase({csv, db, "Medicine", std::nullopt, false}).added > 0;
               });
}
void loadMasterListSqliteImport(benchmark::State& state, std::uint64_t rows) {
    importPeer(state, rows, Download::MasterList);
}

}  // namespace lumaref::bench

#else

namespace lumaref::bench {

namespace {
void notBuilt(benchmark::State& state) { state.SkipWithError("lumaref-convert is not built"); }
}  // namespace

void loadSjrLumaref(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadSjrSqliteImport(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadDoajLumaref(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadDoajSqliteImport(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadJcrLumaref(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadJcrSqliteImport(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadListLumaref(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadListSqliteImport(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadMasterListLumaref(benchmark::State& state, std::uint64_t) { notBuilt(state); }
void loadMasterListSqliteImport(benchmark::State& state, std::uint64_t) { notBuilt(state); }

}  // namespace lumaref::bench

#endif
