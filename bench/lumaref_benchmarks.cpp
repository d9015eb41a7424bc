#include <memory>
#include <string>

#include "bench_data.h"
#include "bench_state.h"
#include "browse/field_search.h"
#include "browse/selection_filter.h"
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

// The search handler without the window: the administrator gate, the filter text, its evaluation, and
// the count as Label7 shows it. `iteration` only keeps the text new to the record set (freshText).
std::string searchHandler(RecordSet& journals, std::string_view searchText, std::uint64_t iteration) {
    const bool admin = opensAdminMode(searchText, "Journal Title");
    benchmark::DoNotOptimize(admin);
    std::string filter = selectionFilterText(categoryChosen());
    if (!searchText.empty()) filter += searchCondition("Journal Title", searchText, filter.empty());
    journals.SetFiltered(false);
    journals.SetFilter(freshText(filter, iteration));
    journals.SetFiltered(true);
    return std::to_string(journals.RecordCount());
}

// Applies one filter text with filtering on, as the grid sees it, and counts the rows.
void filterLoop(benchmark::State& state, std::uint64_t journals, const std::string& text) {
    RecordSet& set = stateFor(journals).journalSet();
    set.SetFilter(text);  // builds the folded copies the filter needs before the clock runs
    const int expected = set.RecordCount();
    PerIteration times;
    std::uint64_t i = 1;
    for (auto _ : state) {
        times.start();
        set.SetFilter(freshText(text, i++));
        benchmark::DoNotOptimize(set.RecordCount());
        times.stop();
    }
    if (set.RecordCount() != expected) state.SkipWithError("the filter's row count changed between runs");
    state.counters["rows"] = expected;
    times.report(state);
    set.SetFilter("");
}

}  // namespace

void openLumaref(benchmark::State& state, std::uint64_t journals) {
    Connection& connection = stateFor(journals).connection();
    int rows = 0;
    for (auto _ : state) {
        auto set = std::make_unique<RecordSet>("ADOQuery1", connection, "select * from journals");
        set->Open();
        rows = set->RecordCount();
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
        auto set = std::make_unique<RecordSet>("ADOQuery1", connection, "select * from journals");
        set->Open();
        set->SetFiltered(true);
        set->SetFilter(text);
        benchmark::DoNotOptimize(set->RecordCount());
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
    set.SetFilter("");
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
    set.SetFilter("");
}

void memoryLumaref(benchmark::State& state, std::uint64_t journals) {
    BenchState& shared = stateFor(journals);
    const std::uint64_t dbBytes = fileSize(shared.databasePath());
    std::size_t loaded = 0;
    std::size_t searched = 0;
    std::size_t resident = 0;
    for (auto _ : state) {
        const std::size_t before = residentBytes();
        auto set = std::make_unique<RecordSet>("ADOQuery1", shared.connection(), "select * from journals");
        set->Open();
        loaded = set->memoryBytes();
        // Later iterations reuse the memory the first one freed.
        if (resident == 0) resident = residentBytes() - before;
        // A category and a title search build the folded copies of two columns.
        set->SetFiltered(true);
        set->SetFilter(searchFilterText(kSearchWord));
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
