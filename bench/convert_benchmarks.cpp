// Converting the Northwind Access file, beside its peer: libmdb alone reading every value of every
// table into its bound text buffers, the floor any conversion through libmdb stands on.
#if defined(LUMAREF_TESTDATA_DIR)
#include <benchmark/benchmark.h>
#include <mdbtools.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "convert/access_converter.h"

namespace lumaref::bench {

namespace {

std::string northwind() { return std::string(LUMAREF_TESTDATA_DIR) + "/jet/nwind.mdb"; }

std::size_t readEveryValueWithLibmdb(const std::string& path) {
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) return 0;
    mdb_read_catalog(mdb, MDB_TABLE);
    std::size_t bytes = 0;
    for (unsigned t = 0; t < mdb->num_catalog; ++t) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, t));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry)) continue;
        MdbTableDef* table = mdb_read_table(entry);
        mdb_read_columns(table);
        std::vector<std::unique_ptr<char[]>> buffers;
        std::vector<int> lengths(table->num_cols);
        for (unsigned c = 0; c < table->num_cols; ++c) {
            buffers.push_back(std::make_unique<char[]>(MDB_BIND_SIZE));
            mdb_bind_column(table, static_cast<int>(c) + 1, buffers.back().get(), &lengths[c]);
        }
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            for (int length : lengths) bytes += static_cast<std::size_t>(length);
        }
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return bytes;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

void convertNorthwind(benchmark::State& state) {
    const std::string source = northwind();
    if (!std::filesystem::exists(source)) {
        state.SkipWithError(("no test data at " + source).c_str());
        return;
    }
    const std::string target =
        (std::filesystem::temp_directory_path() / "lumaref-bench-nwind.sqlite").string();
    std::vector<double> ours;
    std::vector<double> peer;
    std::size_t rows = 0;
    for (auto _ : state) {
        std::filesystem::remove(target);
        auto begin = std::chrono::steady_clock::now();
        rows = convertAccessDatabase(source, target, false).rows;
        auto end = std::chrono::steady_clock::now();
        ours.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());

        begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(readEveryValueWithLibmdb(source));
        end = std::chrono::steady_clock::now();
        peer.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
    std::filesystem::remove(target);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["median_ms"] = median(ours);
    state.counters["libmdb_read_ms"] = median(peer);
    state.counters["ratio_to_libmdb_read"] = median(ours) / median(peer);
}

}  // namespace

BENCHMARK(convertNorthwind)->Name("Convert/Lumaref/nwind")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace lumaref::bench
#endif
