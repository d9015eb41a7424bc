#include <memory>
#include <string>

#include "bench_data.h"
#include "bench_state.h"
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

// Applies one filter text with filtering on, as the grid sees it, and counts the rows.
void filterLoop(benchmark::State& state, std::uint64_t journals, const std::string& text) {
    RecordSet& set = stateFor(journals).journalSet();
    set.setFilter(text);  // builds the folded copies the filter needs before the clock runs
    const int expected = set.recordCount();
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
        times.start();
        set.setFilter(freshText(text, i++));
        benchmark::DoNotOptimize(set.recordCount());
        times.stop();
    }
    if (set.recordCount() != expected) state.SkipWithError("the filter's row count changed between runs");
    state.counters["rows"] = expected;
    times.report(state);
    set.setFilter("");
}

}  // namespace

void openLumaref(benchmark::State& state, std::uint64_t journals) {
    Connection& connection = stateFor(journals).connection();
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
    RecordSet& set = stateFor(journals).journalSet();
    for (const char* typed : kKeystrokes) searchHandler(set, typed, 0);
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
        times.start();
        for (const char* typed : kKeystrokes) benchmark::DoNotOptimize(searchHandler(set, typed, i));
        ++i;
        times.stop();
    }
    times.report(state);
    set.setFilter("");
}

void searchHandlerLumaref(benchmark::State& state, std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    std::string label7 = searchHandler(set, kSearchWord, 0);
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
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
