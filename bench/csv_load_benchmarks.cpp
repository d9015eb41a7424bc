// Loading a ranking table from CSV: lumaref-convert --csv against SQLite's own shell importing the
// same file into the same empty table, each in one transaction.
#include "operations.h"

#if defined(LUMAREF_CSV_LOAD_BENCH)
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_data.h"
#include "convert/csv_table_load.h"
#include "db/new_database.h"
#include "per_iteration.h"
#include "text/staged_file.h"

extern char** environ;

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

// The file both load: a header and one row per ranked journal, in the table's column order so the
// shell (which maps columns by position) does the same work.
std::string rankingCsvFor(std::uint64_t rows) {
    const fs::path path = fs::path(dataDirFor(rows)) / "jcr2018.csv";
    if (fs::exists(path)) return path.string();
    fs::create_directories(path.parent_path());
    StagedFile file(path.string());
    std::string text =
        "Rank,Full Journal Title,ISSN,Total Cites,Journal Impact Factor,"
        "Impact Factor without Journal Self Cites\r\n";
    char line[256];
    for (std::uint64_t i = 1; i <= rows; ++i) {
        std::snprintf(
            line, sizeof line,
            "%llu,\"Journal of Studies, Part %llu\",%04llu-%03llu%c,%llu,%llu.%03llu,%llu.%03llu\r\n",
            static_cast<unsigned long long>(i), static_cast<unsigned long long>(i),
            static_cast<unsigned long long>(i % 10000), static_cast<unsigned long long>(i % 1000),
            i % 11 == 10 ? 'X' : static_cast<char>('0' + i % 10),
            static_cast<unsigned long long>(i * 37 % 90000), static_cast<unsigned long long>(i % 50),
            static_cast<unsigned long long>(i * 7 % 1000), static_cast<unsigned long long>(i % 40),
            static_cast<unsigned long long>(i * 3 % 1000));
        text += line;
        if (text.size() >= 1 << 20) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
    file.commit();
    return path.string();
}

// The same table from a file of quotes: every field quoted, most of them runs of doubled quotes, as
// the reader's worst case (about 80 bytes a row, so 375,000 rows are 30 MB).
std::string quotedCsvFor(std::uint64_t rows) {
    const fs::path path = fs::path(dataDirFor(rows)) / "jcr2018-quotes.csv";
    if (fs::exists(path)) return path.string();
    fs::create_directories(path.parent_path());
    StagedFile file(path.string());
    std::string text =
        "\"Rank\",\"Full Journal Title\",\"ISSN\",\"Total Cites\",\"Journal Impact Factor\","
        "\"Impact Factor without Journal Self Cites\"\r\n";
    const std::string quotes(16, '"');
    char line[256];
    for (std::uint64_t i = 1; i <= rows; ++i) {
        std::snprintf(
            line, sizeof line, "\"%llu\",\"%s\",\"%04llu-%03llu%c\",\"%s\",\"1.%s5\",\"\"\"\"\"\"\r\n",
            static_cast<unsigned long long>(i), quotes.c_str(), static_cast<unsigned long long>(i % 10000),
            static_cast<unsigned long long>(i % 1000), i % 11 == 10 ? 'X' : static_cast<char>('0' + i % 10),
            quotes.c_str(), quotes.c_str() + 8);
        text += line;
        if (text.size() >= 1 << 20) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
    file.commit();
    return path.string();
}

// A fresh copy of an empty Lumaref database for each run.
std::string freshDatabase(std::uint64_t rows) {
    const fs::path folder = dataDirFor(rows);
    const fs::path empty = folder / "csv-empty.mdb";
    if (!fs::exists(empty)) createNewDatabase(empty.string(), false);
    const fs::path work = folder / "csv-work.mdb";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(work.string() + suffix);
    fs::copy_file(empty, work);
    return work.string();
}

std::int64_t rankingRows(const std::string& database) {
    sqlite3* db = nullptr;
    std::int64_t rows = -1;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM jcr2018", -1, &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW) {
            rows = sqlite3_column_int64(count, 0);
        }
        sqlite3_finalize(count);
    }
    sqlite3_close(db);
    return rows;
}

using Loader = bool (*)(const std::string& csv, const std::string& database);

void loadLoop(benchmark::State& state, std::uint64_t rows, const std::string& csv, Loader load) {
    PerIteration times;
    std::string database;
    for (auto _ : state) {
        state.PauseTiming();
        database = freshDatabase(rows);
        state.ResumeTiming();
        times.start();
        const bool ok = load(csv, database);
        times.stop();
        if (!ok) {
            state.SkipWithError("the load failed");
            return;
        }
    }
    const std::int64_t loaded = rankingRows(database);
    if (loaded != static_cast<std::int64_t>(rows)) state.SkipWithError("the table does not hold every row");
    state.counters["rows"] = static_cast<double>(loaded);
    times.report(state);
}

bool loadWithLumaref(const std::string& csv, const std::string& database) {
    CsvLoadRequest request{csv, database, "jcr2018", false, {}};
    return loadCsvIntoTable(request).rowsLoaded > 0;
}

// sqlite3 DB ".import --csv --skip 1 FILE jcr2018": the shell wraps the import in one transaction.
bool loadWithSqliteShell(const std::string& csv, const std::string& database) {
    std::string command = ".import --csv --skip 1 \"" + csv + "\" jcr2018";
    std::string program = "sqlite3";
    std::string db = database;
    char* argv[] = {program.data(), db.data(), command.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "sqlite3", nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void csvLoadLumaref(benchmark::State& state, std::uint64_t rows) {
    loadLoop(state, rows, rankingCsvFor(rows), loadWithLumaref);
}
void csvLoadSqliteShell(benchmark::State& state, std::uint64_t rows) {
    loadLoop(state, rows, rankingCsvFor(rows), loadWithSqliteShell);
}
void csvQuotesLumaref(benchmark::State& state, std::uint64_t rows) {
    loadLoop(state, rows, quotedCsvFor(rows), loadWithLumaref);
}
void csvQuotesSqliteShell(benchmark::State& state, std::uint64_t rows) {
    loadLoop(state, rows, quotedCsvFor(rows), loadWithSqliteShell);
}

}  // namespace lumaref::bench

#else

namespace lumaref::bench {

void csvLoadLumaref(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}
void csvLoadSqliteShell(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}
void csvQuotesLumaref(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}
void csvQuotesSqliteShell(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}

}  // namespace lumaref::bench

#endif
