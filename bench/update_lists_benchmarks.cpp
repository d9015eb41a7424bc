// "Update lists": every pick list rebuilt from the journals and written to a program directory of its
// own, beside SQLite computing the same distinct values with one query per list.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "db/record_set.h"
#include "operations.h"
#include "per_iteration.h"
#include "picklists/list_folder.h"
#include "picklists/list_rebuild.h"

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

// A temporary program directory with its lists/subjects folder, removed afterwards.
class ProgramDir {
public:
    ProgramDir() {
        std::string pattern = (fs::temp_directory_path() / "lumaref-bench-lists-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
        if (!path_.empty()) fs::create_directories(fs::path(path_) / "lists" / "subjects");
    }
    ~ProgramDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ProgramDir(const ProgramDir&) = delete;
    ProgramDir& operator=(const ProgramDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What BitBtn5Click does without the window: the pick lists' items are the collected values.
// The journals are read afresh first, as the click does.
std::size_t updateLists(RecordSet& journals, const std::string& listFolder) {
    ListFolder lists(listFolder);
    journals.refresh(TableChanges{journals.table(), true, {}});
    const std::vector<std::string> categories =
        collectFromEveryRow(journals, kCategoryField, EmptyValues::Collect);
    lists.writeCategories(categories);
    rebuildSubjectLists(journals, lists, categories);
    lists.writeFrequencies(collectFromEveryRow(journals, kFrequencyField, EmptyValues::Skip));
    return categories.size();
}

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every list file below two program directories, byte for byte alike.
bool sameListFiles(const std::string& ours, const std::string& expected) {
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(expected) / "lists")) {
        if (entry.is_directory()) continue;
        ++files;
        const fs::path mine = fs::path(ours) / fs::relative(entry.path(), expected);
        if (!fs::exists(mine) || contentsOf(mine) != contentsOf(entry.path())) return false;
    }
    std::size_t written = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ours) / "lists"))
        written += entry.is_directory() ? 0 : 1;
    return files == written;
}

std::vector<std::string> distinctColumn(SqliteQuery& query) {
    std::vector<std::string> values;
    sqlite3_stmt* s = query.get();
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        values.emplace_back(text != nullptr ? text : "",
                            static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
    }
    sqlite3_reset(s);
    return values;
}

}  // namespace

void updateListsLumaref(benchmark::State& state, std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    const ProgramDir dir;
    if (dir.path().empty()) {
        state.SkipWithError("cannot create a temporary program directory");
        return;
    }
    std::size_t categories = 0;
    PerIteration times;
    for (auto _ : state) {
        times.start();
        categories = updateLists(set, dir.path() + "/lists/");
        times.stop();
    }
    state.counters["categories"] = static_cast<double>(categories);
    times.report(state);
    // Leave the record set as the other benchmarks expect it: filtering on, no filter text.
    set.setFilter("");
    set.setFiltered(true);
    if (!sameListFiles(dir.path(), dataDirFor(journals)))
        state.SkipWithError("the rebuilt list files differ from the generator's");
}

void updateListsSqlite(benchmark::State& state, std::uint64_t journals) {
    sqlite3* db = stateFor(journals).sqlite();
    // The record set's equality ignores letter case; SQLite's DISTINCT keeps first appearances in
    // table order when it scans the table.
    SqliteQuery categoryQuery(db, "SELECT DISTINCT category FROM journals");
    SqliteQuery subjectQuery(db, "SELECT DISTINCT subject FROM journals WHERE category = ? COLLATE NOCASE");
    SqliteQuery frequencyQuery(db, "SELECT DISTINCT Frequently FROM journals WHERE Frequently <> ''");
    std::size_t subjects = 0;
    std::size_t categories = 0;
    PerIteration times;
    for (auto _ : state) {
        times.start();
        const std::vector<std::string> found = distinctColumn(categoryQuery);
        subjects = 0;
        for (const std::string& category : found) {
            subjectQuery.bind(1, category);
            subjects += distinctColumn(subjectQuery).size();
        }
        benchmark::DoNotOptimize(distinctColumn(frequencyQuery));
        categories = found.size();
        times.stop();
    }
    state.counters["categories"] = static_cast<double>(categories);
    state.counters["subjects"] = static_cast<double>(subjects);
    times.report(state);
}

}  // namespace lumaref::bench
