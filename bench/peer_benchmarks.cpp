#include <cstring>
#include <string>

#include "bench_data.h"
#include "bench_state.h"
#include "filter/search_condition.h"
#include "filter/selection_filter.h"
#include "operations.h"
#include "per_iteration.h"
#include "support/oracles/row_by_row_filter.h"

namespace lumaref::bench {

namespace {

// SQLite's own query for the same condition: equality ignoring case, LIKE for the title.
constexpr const char* kCategorySql = "SELECT rowid FROM journals WHERE category=? COLLATE NOCASE";
constexpr const char* kSearchSql =
    "SELECT rowid FROM journals WHERE category=? COLLATE NOCASE AND Title LIKE ?";

std::string likePattern(std::string_view word) {
    std::string pattern(1, '%');
    pattern.append(word);
    pattern.push_back('%');
    return pattern;
}

void queryLoop(benchmark::State& state, SqliteQuery& query) {
    std::int64_t rows = query.countRows();
    PerIteration times;
    for (auto _ : state) {
        times.start();
        rows = query.countRows();
        benchmark::DoNotOptimize(rows);
        times.stop();
    }
    state.counters["rows"] = static_cast<double>(rows);
    times.report(state);
}

}  // namespace

void openSqlite(benchmark::State& state, std::uint64_t journals) {
    timeSelectAll(state, stateFor(journals).sqlite());
}

void timeSelectAll(benchmark::State& state, sqlite3* db) {
    std::int64_t rows = 0;
    for (auto _ : state) {
        SqliteQuery select(db, "select * from journals");
        sqlite3_stmt* s = select.get();
        const int columns = sqlite3_column_count(s);
        std::size_t bytes = 0;
        rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text(s, c));
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, c));
            }
            ++rows;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void categoryFilterSqlite(benchmark::State& state, std::uint64_t journals) {
    SqliteQuery query(stateFor(journals).sqlite(), kCategorySql);
    query.bind(1, kCategory);
    queryLoop(state, query);
}

void searchFilterSqlite(benchmark::State& state, std::uint64_t journals) {
    SqliteQuery query(stateFor(journals).sqlite(), kSearchSql);
    query.bind(1, kCategory);
    query.bind(2, likePattern(kSearchWord));
    queryLoop(state, query);
}

// The physical limit: one memmem pass over every title's bytes, lower-cased beforehand.
void searchFilterMemmem(benchmark::State& state, std::uint64_t journals) {
    const std::string& titles = stateFor(journals).lowerCaseTitles();
    const std::size_t wordLength = std::strlen(kSearchWord);
    std::int64_t hits = 0;
    PerIteration times;
    for (auto _ : state) {
        times.start();
        hits = 0;
        const char* p = titles.data();
        const char* end = titles.data() + titles.size();
        while (p < end) {
            const void* found = memmem(p, static_cast<std::size_t>(end - p), kSearchWord, wordLength);
            if (found == nullptr) break;
            ++hits;
            p = static_cast<const char*>(found) + wordLength;
        }
        benchmark::DoNotOptimize(hits);
        times.stop();
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["bytes"] = static_cast<double>(titles.size());
    times.report(state);
}

// The same criteria, evaluated row by row: the plain algorithm the column-at-a-time one replaces.
void searchFilterRowByRow(benchmark::State& state, std::uint64_t journals) {
    const Table& table = stateFor(journals).table();
    SelectionInputs inputs;
    inputs.category = kCategory;
    const std::string text =
        selectionFilterText(inputs) + searchCondition("Journal Title", kSearchWord, false);
    std::int64_t rows = 0;
    PerIteration times;
    for (auto _ : state) {
        times.start();
        const test::RowByRowFilter filter(text, table);
        rows = 0;
        for (std::size_t row = 0; row < table.rowCount(); ++row) rows += filter.matches(table, row) ? 1 : 0;
        benchmark::DoNotOptimize(rows);
        times.stop();
    }
    state.counters["rows"] = static_cast<double>(rows);
    times.report(state);
}

namespace {

void keystrokeQueries(benchmark::State& state, SqliteQuery& query) {
    query.bind(1, kCategory);
    PerIteration times;
    for (auto _ : state) {
        times.start();
        for (const char* typed : kKeystrokes) {
            query.bind(2, likePattern(typed));
            benchmark::DoNotOptimize(query.countRows());
        }
        times.stop();
    }
    times.report(state);
}

}  // namespace

void keystrokesSqlite(benchmark::State& state, std::uint64_t journals) {
    SqliteQuery query(stateFor(journals).sqlite(), kSearchSql);
    keystrokeQueries(state, query);
}

void keystrokesSortedSqlite(benchmark::State& state, std::uint64_t journals) {
    const std::string sql = std::string(kSearchSql) + " ORDER BY CAST(\"IF\" AS REAL) DESC";
    SqliteQuery query(stateFor(journals).sqlite(), sql.c_str());
    keystrokeQueries(state, query);
}

// One query per Backspace, "opti" back to "o".
void backspaceSqlite(benchmark::State& state, std::uint64_t journals) {
    SqliteQuery query(stateFor(journals).sqlite(), kSearchSql);
    query.bind(1, kCategory);
    const std::size_t typed = std::size(kKeystrokes);
    PerIteration times;
    for (auto _ : state) {
        for (std::size_t k = typed - 1; k-- > 0;) {
            query.bind(2, likePattern(kKeystrokes[k]));
            times.start();
            benchmark::DoNotOptimize(query.countRows());
            times.stop();
        }
    }
    times.report(state);
}

void searchHandlerSqlite(benchmark::State& state, std::uint64_t journals) {
    SqliteQuery query(stateFor(journals).sqlite(), kSearchSql);
    query.bind(1, kCategory);
    query.bind(2, likePattern(kSearchWord));
    std::string label7;
    PerIteration times;
    for (auto _ : state) {
        times.start();
        label7 = std::to_string(query.countRows());
        benchmark::DoNotOptimize(label7);
        times.stop();
    }
    state.counters["rows"] = std::stod(label7);
    times.report(state);
}

}  // namespace lumaref::bench
