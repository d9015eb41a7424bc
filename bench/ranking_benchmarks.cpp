// The ranking updates beside their floor: SQLite alone applying the same UPDATEs, one autocommit
// statement per posted journal. Every iteration starts from a fresh copy of the generated database.
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "operations.h"
#include "per_iteration.h"
#include "ranking/impact_factor_update.h"
#include "ranking/quartile_update.h"
#include "ranking_record_sets.h"
#include "support/oracles/quartile_walk_by_filters.h"
#include "text/text_fold.h"

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

// A copy of the generated database that an update may change, made again before every iteration.
class ScratchDatabase {
public:
    explicit ScratchDatabase(std::uint64_t journals)
        : source_(databasePathFor(journals)),
          path_((fs::path(dataDirFor(journals)) / "scratch" / "Database.mdb").string()) {
        fs::create_directories(fs::path(path_).parent_path());
    }
    ~ScratchDatabase() {
        std::error_code error;
        fs::remove_all(fs::path(path_).parent_path(), error);
    }
    // Fresh bytes: the generated file, no journal files left from the last run.
    const std::string& reset() {
        for (const char* suffix : {"-wal", "-shm"}) fs::remove(path_ + suffix);
        fs::copy_file(source_, path_, fs::copy_options::overwrite_existing);
        return path_;
    }

private:
    std::string source_;
    std::string path_;
};

}  // namespace

RankingRecordSets::RankingRecordSets(const std::string& connectionString)
    : connection(connectionString),
      journals("ADOQuery1", connection, "journals"),
      ranking("ADOQuery2", connection, "jcr2018") {
    for (int q = 0; q < 4; ++q) {
        quartiles[static_cast<std::size_t>(q)] = std::make_unique<RecordSet>(
            "ADOQuery" + std::to_string(q + 3), connection, "JCRQ" + std::to_string(q + 1));
    }
    connection.open();
    for (RecordSet* set : {&journals, &ranking, quartiles[0].get(), quartiles[1].get(), quartiles[2].get(),
                           quartiles[3].get()})
        set->open();
    journals.setFiltered(true);
}

std::array<RecordSet*, 4> RankingRecordSets::quartileSets() {
    return {quartiles[0].get(), quartiles[1].get(), quartiles[2].get(), quartiles[3].get()};
}

namespace {

// Runs one update per iteration on a fresh copy; only the update itself is timed.
template <class Update>
void updateLoop(benchmark::State& state, std::uint64_t journals, Update update) {
    ScratchDatabase scratch(journals);
    PerIteration times;
    UpdateCounts counts;
    for (auto _ : state) {
        state.PauseTiming();
        auto components = std::make_unique<RankingRecordSets>(connectionStringFor(scratch.reset()));
        state.ResumeTiming();
        times.start();
        counts = update(*components);
        times.stop();
        state.PauseTiming();
        components.reset();
        state.ResumeTiming();
    }
    state.counters["walked"] = counts.walked;
    state.counters["posted"] = counts.posted;
    times.report(state);
}

std::string columnText(sqlite3_stmt* s, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text != nullptr ? text : "";
}

}  // namespace

// The journals the impact-factor update posts and their new figures, found here by plain SQL and
// a map, under the same rule: the first ranking row naming the ISSN or else the E-ISSN.
std::vector<RankingUpdate> impactFactorUpdates(sqlite3* db) {
    struct Figures {
        std::int64_t order;
        std::vector<std::string> values;
    };
    std::unordered_map<std::string, Figures> first;
    SqliteQuery rows(db,
                     "SELECT rowid, ISSN, \"Journal Impact Factor\", \"Total Cites\", "
                     "\"Impact Factor without Journal Self Cites\" FROM jcr2018 ORDER BY rowid");
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        const std::string issn = columnText(rows.get(), 1);
        if (!issn.empty())
            first.emplace(issn, Figures{sqlite3_column_int64(rows.get(), 0),
                                        {columnText(rows.get(), 2), columnText(rows.get(), 3),
                                         columnText(rows.get(), 4)}});
    }
    std::vector<RankingUpdate> updates;
    SqliteQuery journals(db,
                         "SELECT rowid, ISSN, \"E-ISSN\" FROM journals WHERE "
                         "\"Emerging Sources Citation Index\" = 0 ORDER BY rowid");
    while (sqlite3_step(journals.get()) == SQLITE_ROW) {
        const Figures* best = nullptr;
        for (int column : {1, 2}) {
            const std::string id = columnText(journals.get(), column);
            const auto it = id.empty() ? first.end() : first.find(id);
            if (it != first.end() && (best == nullptr || it->second.order < best->order)) best = &it->second;
        }
        if (best != nullptr) updates.push_back({sqlite3_column_int64(journals.get(), 0), best->values});
    }
    return updates;
}

namespace {

// The journals the quartile update posts and their quartile, under the filter's equality rule.
std::vector<RankingUpdate> quartileUpdates(sqlite3* db) {
    std::vector<std::unordered_set<std::string>> listed(4);
    for (int q = 0; q < 4; ++q) {
        const std::string sql = "SELECT ISSN FROM JCRQ" + std::to_string(q + 1);
        SqliteQuery rows(db, sql.c_str());
        while (sqlite3_step(rows.get()) == SQLITE_ROW) {
            const std::string issn = columnText(rows.get(), 0);
            if (!issn.empty()) listed[static_cast<std::size_t>(q)].insert(foldText(issn, FoldMode::Case));
        }
    }
    std::vector<RankingUpdate> updates;
    SqliteQuery journals(db, "SELECT rowid, ISSN, \"E-ISSN\" FROM journals ORDER BY rowid");
    while (sqlite3_step(journals.get()) == SQLITE_ROW) {
        const std::string issn = foldText(columnText(journals.get(), 1), FoldMode::Case);
        const std::string eissn = foldText(columnText(journals.get(), 2), FoldMode::Case);
        for (int q = 0; q < 4; ++q) {
            const auto& set = listed[static_cast<std::size_t>(q)];
            if (set.count(issn) != 0 || set.count(eissn) != 0) {
                updates.push_back({sqlite3_column_int64(journals.get(), 0), {"Q" + std::to_string(q + 1)}});
                break;
            }
        }
    }
    return updates;
}

// The floor: the same UPDATEs through one prepared statement, each its own autocommit transaction,
// on a connection set up as the program's (WAL, synchronous=NORMAL).
void sqlitePeer(benchmark::State& state, std::uint64_t journals, const char* sql,
                std::vector<RankingUpdate> (*findUpdates)(sqlite3*)) {
    ScratchDatabase scratch(journals);
    std::vector<RankingUpdate> updates;
    PerIteration times;
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = nullptr;
        sqlite3_open_v2(scratch.reset().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        if (updates.empty()) updates = findUpdates(db);
        {
            SqliteQuery update(db, sql);
            state.ResumeTiming();
            times.start();
            for (const RankingUpdate& u : updates) {
                int index = 1;
                for (const std::string& value : u.values) update.bind(index++, value);
                sqlite3_bind_int64(update.get(), index, u.rowid);
                if (sqlite3_step(update.get()) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
                sqlite3_reset(update.get());
            }
            times.stop();
            state.PauseTiming();
        }
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.counters["posted"] = static_cast<double>(updates.size());
    times.report(state);
}

// The row-by-row search of the ranking table for every journal, through the record sets.
UpdateCounts impactFactorsRowByRow(RankingRecordSets& c) {
    UpdateCounts counts;
    RecordSet& journals = c.journals;
    RecordSet& ranking = c.ranking;
    journals.setFiltered(false);
    journals.setFilter(kEmergingSourcesExclusion);
    journals.setFiltered(true);
    journals.first();
    while (!journals.eof()) {
        ++counts.walked;
        ranking.first();
        bool found = false;
        while (!found && !ranking.eof()) {
            const std::string issn = ranking.fieldAsString("ISSN");
            if (issn == journals.fieldAsString("ISSN") || issn == journals.fieldAsString("E-ISSN")) {
                journals.edit();
                journals.setFieldAsString("IF", ranking.fieldAsString("Journal Impact Factor"));
                journals.setFieldAsString("Total Cites", ranking.fieldAsString("Total Cites"));
                journals.setFieldAsString("Impact Factor without Journal Self Cites",
                                          ranking.fieldAsString("Impact Factor without Journal Self Cites"));
                journals.post();
                ++counts.posted;
                found = true;
            }
            ranking.next();
        }
        journals.next();
    }
    return counts;
}

}  // namespace

void impactFactorUpdateLumaref(benchmark::State& state, std::uint64_t journals) {
    NoWindow steps;
    updateLoop(state, journals,
               [&steps](RankingRecordSets& c) { return updateImpactFactors(c.journals, c.ranking, steps); });
}

void impactFactorUpdateSqlite(benchmark::State& state, std::uint64_t journals) {
    sqlitePeer(
        state, journals,
        "UPDATE journals SET IF = ?, \"Total Cites\" = ?, \"Impact Factor without Journal Self Cites\" = ? "
        "WHERE rowid = ?",
        impactFactorUpdates);
}

void impactFactorUpdateRowByRow(benchmark::State& state, std::uint64_t journals) {
    // Journals times ranking rows: beyond 10k journals it runs for minutes.
    if (journals > 10'000) {
        state.SkipWithError("the row-by-row search runs at 10k journals only");
        for (auto _ : state) {
        }
        return;
    }
    updateLoop(state, journals, impactFactorsRowByRow);
}

void quartileUpdateLumaref(benchmark::State& state, std::uint64_t journals) {
    NoWindow steps;
    updateLoop(state, journals, [&steps](RankingRecordSets& c) {
        return updateQuartiles(c.journals, c.quartileSets(), steps);
    });
}

void quartileUpdateByFilters(benchmark::State& state, std::uint64_t journals) {
    NoWindow steps;
    updateLoop(state, journals, [&steps](RankingRecordSets& c) {
        return test::updateQuartilesByFilters(c.journals, c.quartileSets(), steps);
    });
}

void quartileUpdateSqlite(benchmark::State& state, std::uint64_t journals) {
    sqlitePeer(state, journals, "UPDATE journals SET Q = ? WHERE rowid = ?", quartileUpdates);
}

}  // namespace lumaref::bench
