// Live refresh: another program changes one journal; the journals of a window (filtered to a
// category) take it in. Beside it the least a reader can do that knows which row changed: SQLite's
// data_version, then that one row read by its rowid.
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>

#include "bench_data.h"
#include "bench_state.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "db/record_set_refresh.h"
#include "db/store.h"
#include "operations.h"
#include "per_iteration.h"

namespace lumaref::bench {

namespace {

constexpr const char* kChangedField = "Address";

// Journals spread over the whole table, one per iteration.
RowKey journalOf(std::uint64_t iteration, std::uint64_t journals) {
    return static_cast<RowKey>(1 + (iteration * 7919) % journals);
}

// Another program on the same database file: it posts one journal's change as a window does, and
// puts every journal it changed back as it was when it goes.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& databasePath) : connection_(connectionStringFor(databasePath)) {
        connection_.open();
    }
    ~OtherProgram() {
        try {
            for (const auto& [key, original] : originals_) post(key, original);
        } catch (const Error&) {
            // The next run generates nothing anew; a journal's address differs, which no figure reads.
        }
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // A value no earlier run wrote: Google Benchmark runs each benchmark more than once.
    void change(RowKey key) {
        static std::uint64_t written = 0;
        const std::string value = "Refreshed " + std::to_string(++written);
        const std::string original = post(key, value);
        originals_.emplace(key, original);
    }

private:
    // Writes `value` over what the row holds; returns what it held.
    std::string post(RowKey key, const std::string& value) {
        Store& store = connection_.store();
        const RowKey keys[] = {key};
        const LoadedTable row = store.loadRows("journals", keys);
        const int field = row.table.findColumn(kChangedField);
        const Column& column = row.table.columns[static_cast<std::size_t>(field)];
        std::string held(column.text(0));
        const FieldChange change[] = {
            {static_cast<std::size_t>(field), value,
             column.isNull(0) ? std::nullopt : std::optional<std::string_view>(held)}};
        store.update("journals", row.table, key, change);
        return held;
    }

    Connection connection_;
    std::map<RowKey, std::string> originals_;
};

// The journals filtered to the category for the benchmark's run, as a user browsing them has them.
class CategoryShown {
public:
    explicit CategoryShown(RecordSet& journals) : journals_(journals) {
        journals_.setFilter("category = '" + std::string(kCategory) + "'");
    }
    ~CategoryShown() { journals_.setFilter(""); }
    CategoryShown(const CategoryShown&) = delete;
    CategoryShown& operator=(const CategoryShown&) = delete;

private:
    RecordSet& journals_;
};

}  // namespace

void refreshLumaref(benchmark::State& state, std::uint64_t journals) {
    BenchState& bench = stateFor(journals);
    RecordSet* sets[] = {&bench.journalSet()};
    const CategoryShown shown(bench.journalSet());
    PerIteration times;
    {
        OtherProgram other(bench.databasePath());
        refreshRecordSets(bench.connection(), sets);  // what came before the run
        std::uint64_t iteration = 0;
        for (auto _ : state) {
            state.PauseTiming();
            other.change(journalOf(iteration, journals));
            ++iteration;
            state.ResumeTiming();
            times.start();
            const auto changed = refreshRecordSets(bench.connection(), sets);
            times.stop();
            if (!changed || changed->front() != 1) {
                state.SkipWithError("the refresh did not take in the one changed journal");
                break;
            }
        }
    }
    // The journals put back as they were, in the snapshot too.
    refreshRecordSets(bench.connection(), sets);
    times.report(state);
}

void refreshSqlite(benchmark::State& state, std::uint64_t journals) {
    BenchState& bench = stateFor(journals);
    sqlite3* reader = bench.sqlite();
    sqlite3* writer = nullptr;
    if (sqlite3_open_v2(bench.databasePath().c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(writer);
        state.SkipWithError("cannot open the database a second time");
        return;
    }
    sqlite3_busy_timeout(writer, 5000);
    sqlite3_exec(writer, "CREATE TEMP TABLE originals AS SELECT rowid AS id, Address FROM journals WHERE 0",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* keep = nullptr;
    sqlite3_stmt* change = nullptr;
    sqlite3_prepare_v2(writer,
                       "INSERT OR IGNORE INTO originals SELECT rowid, Address FROM journals WHERE rowid = ?1",
                       -1, &keep, nullptr);
    sqlite3_prepare_v2(writer, "UPDATE journals SET Address = ?2 WHERE rowid = ?1", -1, &change, nullptr);
    SqliteQuery version(reader, "PRAGMA data_version");
    SqliteQuery row(reader, "SELECT rowid, * FROM journals WHERE rowid = ?1");
    sqlite3_step(version.get());
    std::int64_t lastVersion = sqlite3_column_int64(version.get(), 0);
    sqlite3_reset(version.get());
    PerIteration times;
    std::uint64_t iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const RowKey key = journalOf(iteration, journals);
        const std::string value = "Refreshed " + std::to_string(iteration++);
        sqlite3_bind_int64(keep, 1, key);
        sqlite3_step(keep);
        sqlite3_reset(keep);
        sqlite3_bind_int64(change, 1, key);
        sqlite3_bind_text(change, 2, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        sqlite3_step(change);
        sqlite3_reset(change);
        state.ResumeTiming();
        times.start();
        sqlite3_step(version.get());
        const std::int64_t now = sqlite3_column_int64(version.get(), 0);
        sqlite3_reset(version.get());
        if (now != lastVersion) {
            sqlite3_bind_int64(row.get(), 1, key);
            if (sqlite3_step(row.get()) == SQLITE_ROW) {
                for (int i = 0; i < sqlite3_column_count(row.get()); ++i)
                    benchmark::DoNotOptimize(sqlite3_column_text(row.get(), i));
            }
            sqlite3_reset(row.get());
        }
        times.stop();
        lastVersion = now;
    }
    sqlite3_finalize(keep);
    sqlite3_finalize(change);
    sqlite3_exec(writer,
                 "UPDATE journals SET Address = (SELECT Address FROM originals WHERE id = journals.rowid) "
                 "WHERE rowid IN (SELECT id FROM originals)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    times.report(state);
}

}  // namespace lumaref::bench
