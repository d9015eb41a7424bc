// The figures from several sources at the scale of a large library: 10 years each of JCR, SJR and DOAJ,
// each at the size of its real download, loaded beside the journals as the window's import loads them.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "db/store_transaction.h"
#include "demo_ranking_files.h"
#include "exchange/ranking_file.h"
#include "exchange/ranking_store.h"
#include "operations.h"
#include "per_iteration.h"
#include "ranking/figure_columns.h"
#include "ranking/figure_history.h"
#include "ranking/figure_lookup.h"

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

constexpr int kFirstYear = 2015;
constexpr int kYears = 10;
// Rows of each download, as large as the real ones: the JCR export has a row per journal and category.
constexpr std::uint64_t kJcrRows = 25'000;
constexpr std::uint64_t kSjrRows = 35'000;
constexpr std::uint64_t kDoajRows = 20'000;
// The rows a grid shows at once, with room to spare: what a keystroke's repaint reads.
constexpr int kRowsOnScreen = 40;

std::string doaj(std::uint64_t seed, std::uint64_t rows, int /*year*/) {
    return demo::doajJournalCsv(seed, rows);
}

struct Download {
    RankingLayout layout;
    const char* fileName;
    std::uint64_t rows;
    std::string (*make)(std::uint64_t seed, std::uint64_t rows, int year);
};

const Download kDownloads[] = {
    {RankingLayout::Jcr, "jcr-export.csv", kJcrRows, demo::jcrExport},
    {RankingLayout::Sjr, "scimagojr.csv", kSjrRows, demo::sjrDownload},
    {RankingLayout::Doaj, "journalcsv.csv", kDoajRows, doaj},
};

// The journals of `journals` with the figures loaded, made once and kept beside the journals' data.
std::string figuresDatabaseFor(std::uint64_t journals) {
    const fs::path dir = fs::path(dataDirFor(journals)) / "figures";
    const fs::path path = dir / "Database.mdb";
    if (fs::exists(path)) return path.string();
    std::fprintf(stderr, "loading %d years of figures beside %llu journals ...\n", kYears,
                 static_cast<unsigned long long>(journals));
    fs::create_directories(dir);
    const fs::path building = dir / "building.mdb";
    fs::copy_file(databasePathFor(journals), building, fs::copy_options::overwrite_existing);
    {
        Connection connection(connectionStringFor(building.string()));
        connection.open();  // adds the tables of the figures
        for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
            for (const Download& download : kDownloads) {
                RankingFileRequest request{download.layout, year, "", year};
                const RankingFile file =
                    readRankingFile(download.make(1, download.rows, year), download.fileName, request);
                inStoreTransaction(connection, [&](StoreTransaction& store) {
                    storeRankingFile(store, file, download.fileName);
                });
            }
        }
    }
    fs::rename(building, path);
    return path.string();
}

// The figures database opened as the window opens it, with every figure column's values read for the
// latest years, and the same file for the SQLite peer.
class FiguresState {
public:
    explicit FiguresState(std::uint64_t journals)
        : journals_(journals), connection_(connectionStringFor(figuresDatabaseFor(journals))) {
        connection_.open();
        set_ = std::make_unique<RecordSet>("ADOQuery1", connection_, "journals");
        set_->open();
        set_->setFiltered(true);
        inStoreTransaction(connection_, [this](StoreTransaction& store) {
            values_ = std::make_unique<FigureColumnValues>(
                FigureColumnValues::read(store, figureColumns(loadedSources(store).ownLists), {}));
        });
        const std::string path = figuresDatabaseFor(journals);
        if (sqlite3_open_v2(path.c_str(), &sqlite_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~FiguresState() { sqlite3_close(sqlite_); }
    FiguresState(const FiguresState&) = delete;
    FiguresState& operator=(const FiguresState&) = delete;

    std::uint64_t journals() const { return journals_; }
    Connection& connection() { return connection_; }
    RecordSet& set() { return *set_; }
    const FigureColumnValues& values() const { return *values_; }
    sqlite3* sqlite() { return sqlite_; }

private:
    std::uint64_t journals_;
    Connection connection_;
    std::unique_ptr<RecordSet> set_;
    std::unique_ptr<FigureColumnValues> values_;
    sqlite3* sqlite_ = nullptr;
};

FiguresState& figuresFor(std::uint64_t journals) {
    static std::unique_ptr<FiguresState> state;
    if (state == nullptr || state->journals() != journals) {
        state.reset();
        state = std::make_unique<FiguresState>(journals);
    }
    return *state;
}

// The numbers of the journals the downloads name, spread over them: the journals a user opens the pane on.
std::vector<std::pair<std::string, std::string>> journalsWithFigures(const RecordSet& set) {
    const int issn = set.fieldIndex("ISSN");
    const int eIssn = set.fieldIndex("E-ISSN");
    std::vector<std::pair<std::string, std::string>> numbers;
    const auto rows = std::min<std::size_t>(set.snapshot().rowCount(), kDoajRows);
    for (std::size_t row = 0; row < rows; row += 97) {
        numbers.emplace_back(set.snapshot().columns[static_cast<std::size_t>(issn)].text(row),
                             set.snapshot().columns[static_cast<std::size_t>(eIssn)].text(row));
    }
    return numbers;
}

}  // namespace

void openFiguresLumaref(benchmark::State& state, std::uint64_t journals) {
    timeJournalsOpen(state, figuresFor(journals).connection());
}

void openFiguresSqlite(benchmark::State& state, std::uint64_t journals) {
    timeSelectAll(state, figuresFor(journals).sqlite());
}

void keystrokesFiguresLumaref(benchmark::State& state, std::uint64_t journals) {
    FiguresState& figures = figuresFor(journals);
    RecordSet& set = figures.set();
    const int fields[] = {set.fieldIndex("ISSN"), set.fieldIndex("E-ISSN"), set.fieldIndex("subject")};
    const FigureColumnValues& values = figures.values();
    std::size_t bytes = 0;
    std::vector<double> paints;
    sequenceLoop(
        state, set, std::vector<std::string>(std::begin(kKeystrokes), std::end(kKeystrokes)), 1,
        [&](RecordSet& rows) {
            const auto begin = std::chrono::steady_clock::now();
            const int shown = std::min(rows.recordCount(), kRowsOnScreen);
            for (int position = 0; position < shown; ++position) {
                for (std::size_t column = 0; column < values.columns().size(); ++column) {
                    bytes +=
                        values
                            .valueFor(column, rows.valueAt(position, fields[0]),
                                      rows.valueAt(position, fields[1]), rows.valueAt(position, fields[2]))
                            .size();
                }
            }
            paints.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        });
    benchmark::DoNotOptimize(bytes);
    // What the figure columns add to a keystroke: their cells of the rows on screen.
    std::sort(paints.begin(), paints.end());
    if (!paints.empty()) state.counters["figure_cells_median_ms"] = paints[paints.size() / 2];
    state.counters["figure_columns"] = static_cast<double>(values.columns().size());
}

void figuresPaneLumaref(benchmark::State& state, std::uint64_t journals) {
    FiguresState& figures = figuresFor(journals);
    const auto numbers = journalsWithFigures(figures.set());
    PerIteration times;
    std::size_t next = 0;
    std::size_t listed = 0;
    for (auto _ : state) {
        const std::pair<std::string, std::string>& journal = numbers[next++ % numbers.size()];
        times.start();
        inStoreTransaction(figures.connection(), [&](StoreTransaction& store) {
            const std::vector<JournalFigure> all = figuresOfJournal(store, journal.first, journal.second);
            listed = all.size();
            benchmark::DoNotOptimize(yearlyFigures(all, "JCR", "JIF"));
            benchmark::DoNotOptimize(yearlyFigures(all, "SJR", "SJR"));
        });
        times.stop();
    }
    state.counters["figures"] = static_cast<double>(listed);
    times.report(state);
}

void figuresPaneSqlite(benchmark::State& state, std::uint64_t journals) {
    FiguresState& figures = figuresFor(journals);
    const auto numbers = journalsWithFigures(figures.set());
    SqliteQuery query(
        figures.sqlite(),
        "SELECT source, year, category, metric, value FROM journal_rankings WHERE issn IN (?1, ?2) "
        "OR eissn IN (?1, ?2) ORDER BY source, year, category, metric");
    PerIteration times;
    std::size_t next = 0;
    std::int64_t listed = 0;
    for (auto _ : state) {
        const auto& [issn, eIssn] = numbers[next++ % numbers.size()];
        times.start();
        query.bind(1, issn);
        query.bind(2, eIssn.empty() ? issn : eIssn);
        listed = query.countRows();
        times.stop();
    }
    state.counters["figures"] = static_cast<double>(listed);
    times.report(state);
}

}  // namespace lumaref::bench
