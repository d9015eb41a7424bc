#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "db/visible_rows.h"
#include "filter/filter.h"
#include "filter/search_condition.h"
#include "filter/selection_filter.h"
#include "operations.h"
#include "per_iteration.h"

namespace lumaref::bench {

namespace {

SelectionInputs categoryChosen() {
    SelectionInputs inputs;
    inputs.category = kCategory;
    return inputs;
}

std::string searchFilterText(std::string_view word) {
    return selectionFilterText(categoryChosen()) + searchCondition("Journal Title", word, false);
}

// The search handler without the window: the filter text, its evaluation, and
// the count as Label7 shows it. `iteration` only keeps the text new to the record set (freshText).
std::string searchHandler(RecordSet& journals, std::string_view searchText, std::uint64_t iteration) {
    std::string filter = selectionFilterText(categoryChosen());
    if (!searchText.empty()) filter += searchCondition("Journal Title", searchText, filter.empty());
    journals.setFiltered(false);
    journals.setFilter(freshText(filter, iteration));
    journals.setFiltered(true);
    return std::to_string(journals.recordCount());
}

// One filter change the record set has not seen: the compiled filter evaluated over the snapshot.
// (Through the record set a repeated text would be looked up, or narrowed from the last result.)
void filterLoop(benchmark::State& state, std::uint64_t journals, const std::string& text) {
    RecordSet& set = stateFor(journals).journalSet();
    const Table& table = set.snapshot();
    std::vector<std::uint32_t> rows;
    CompiledFilter::compile(text, table).evaluate(table, rows);  // builds the folded copies first
    const std::size_t expected = rows.size();
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
        times.start();
        CompiledFilter::compile(freshText(text, i++), table).evaluate(table, rows);
        benchmark::DoNotOptimize(rows.size());
        times.stop();
    }
    if (rows.size() != expected) state.SkipWithError("the filter's row count changed between runs");
    state.counters["rows"] = static_cast<double>(expected);
    times.report(state);
}

// Pushes every kept filter result out with selections of no category, so that the texts of the last
// round, though new to the record set, are not found among the rows of their own earlier selves (a
// text that compiles to the same filter is answered from its rows without a test).
void forgetKeptResults(RecordSet& journals, std::uint64_t iteration) {
    journals.setFiltered(true);
    for (std::size_t k = 0; k < VisibleRows::kKeptResults; ++k)
        journals.setFilter(freshText("category='not a category " + std::to_string(k) + "'", iteration));
}

}  // namespace

// Each search text of `sequence` through the search handler, timed one by one: the median of the
// whole sequence, of each text, and of the texts from `measuredFrom` on (typed on from, or back to,
// the text before them).
void sequenceLoop(benchmark::State& state, RecordSet& set, const std::vector<std::string>& sequence,
                  std::size_t measuredFrom, const std::function<void(RecordSet&)>& paint) {
    std::vector<std::vector<double>> times(sequence.size());
    PerIteration whole;
    std::uint64_t i = 1;
    for (auto _ : state) {
        state.PauseTiming();
        forgetKeptResults(set, i);
        state.ResumeTiming();
        whole.start();
        for (std::size_t k = 0; k < sequence.size(); ++k) {
            const auto begin = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(searchHandler(set, sequence[k], i));
            if (paint) paint(set);
            times[k].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        }
        whole.stop();
        ++i;
    }
    whole.report(state);
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    std::vector<double> later;
    for (std::size_t k = 0; k < sequence.size(); ++k) {
        state.counters[std::to_string(k) + "_" + sequence[k] + "_ms"] = median(times[k]);
        if (k >= measuredFrom) later.insert(later.end(), times[k].begin(), times[k].end());
    }
    state.counters["measured_median_ms"] = median(later);
    set.setFilter("");
}

void openLumaref(benchmark::State& state, std::uint64_t journals) {
    timeJournalsOpen(state, stateFor(journals).connection());
}

void timeJournalsOpen(benchmark::State& state, Connection& connection) {
    int rows = 0;
    for (auto _ : state) {
        auto set = std::make_unique<RecordSet>("ADOQuery1", connection, "journals");
        set->open();
        rows = set->recordCount();
        state.PauseTiming();
        set.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

void categoryFilterLumaref(benchmark::State& state, std::uint64_t journals) {
    filterLoop(state, journals, selectionFilterText(categoryChosen()));
}

void searchFilterLumaref(benchmark::State& state, std::uint64_t journals) {
    filterLoop(state, journals, searchFilterText(kSearchWord));
}

void firstSearchLumaref(benchmark::State& state, std::uint64_t journals) {
    Connection& connection = stateFor(journals).connection();
    const std::string text = searchFilterText(kSearchWord);
    for (auto _ : state) {
        auto set = std::make_unique<RecordSet>("ADOQuery1", connection, "journals");
        set->open();
        set->setFiltered(true);
        set->setFilter(text);
        benchmark::DoNotOptimize(set->recordCount());
        state.PauseTiming();
        set.reset();
        state.ResumeTiming();
    }
}

void keystrokesLumaref(benchmark::State& state, std::uint64_t journals) {
    sequenceLoop(state, stateFor(journals).journalSet(),
                 std::vector<std::string>(std::begin(kKeystrokes), std::end(kKeystrokes)), 1);
}

void keystrokesSortedLumaref(benchmark::State& state, std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    set.setSort(RowSort{set.fieldIndex("IF"), SortDirection::Descending});
    sequenceLoop(state, set, std::vector<std::string>(std::begin(kKeystrokes), std::end(kKeystrokes)), 1);
    set.setSort(std::nullopt);
}

void backspaceLumaref(benchmark::State& state, std::uint64_t journals) {
    std::vector<std::string> sequence(std::begin(kKeystrokes), std::end(kKeystrokes));
    const std::size_t typed = sequence.size();
    for (std::size_t k = typed - 1; k-- > 0;) sequence.push_back(sequence[k]);
    sequenceLoop(state, stateFor(journals).journalSet(), sequence, typed);
}

void searchHandlerLumaref(benchmark::State& state, std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    std::string label7 = searchHandler(set, kSearchWord, 0);
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
        state.PauseTiming();
        forgetKeptResults(set, i);
        state.ResumeTiming();
        times.start();
        label7 = searchHandler(set, kSearchWord, i++);
        benchmark::DoNotOptimize(label7);
        times.stop();
    }
    state.counters["rows"] = std::stod(label7);
    times.report(state);
    set.setFilter("");
}

void memoryLumaref(benchmark::State& state, std::uint64_t journals) {
    BenchState& shared = stateFor(journals);
    const std::uint64_t dbBytes = fileSize(shared.databasePath());
    std::size_t loaded = 0;
    std::size_t searched = 0;
    std::size_t resident = 0;
    for (auto _ : state) {
        const std::size_t before = residentBytes();
        auto set = std::make_unique<RecordSet>("ADOQuery1", shared.connection(), "journals");
        set->open();
        loaded = set->memoryBytes();
        // Later iterations reuse the memory the first one freed.
        if (resident == 0) resident = residentBytes() - before;
        // A category and a title search build the folded copies of two columns.
        set->setFiltered(true);
        set->setFilter(searchFilterText(kSearchWord));
        searched = set->memoryBytes();
    }
    state.counters["db_bytes"] = static_cast<double>(dbBytes);
    state.counters["snapshot_bytes"] = static_cast<double>(loaded);
    state.counters["resident_growth_bytes"] = static_cast<double>(resident);
    state.counters["after_search_bytes"] = static_cast<double>(searched);
    state.counters["ratio"] = static_cast<double>(loaded) / static_cast<double>(dbBytes);
    state.counters["ratio_after_search"] = static_cast<double>(searched) / static_cast<double>(dbBytes);
}

}  // namespace lumaref::bench
