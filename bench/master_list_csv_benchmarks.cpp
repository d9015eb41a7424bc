// The CSV master list imported through the window (one commit per record) against SQLite inserting the
// same records one autocommit INSERT each. The tool's loads are in ranking_load_benchmarks.cpp.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_data.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "db/statement.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_import.h"
#include "operations.h"
#include "per_iteration.h"
#include "text/staged_file.h"
#include "text/text_file.h"

#if defined(LUMAREF_CSV_LOAD_BENCH)
#include "db/new_database.h"
#endif

namespace fs = std::filesystem;

namespace lumaref::bench {

namespace {

// A download of `rows` journals, each in two Web of Science categories, every tenth without ISSN.
std::string masterListCsvFor(std::uint64_t rows) {
    const fs::path path = fs::path(dataDirFor(rows)) / "master-list (SCIE).csv";
    if (fs::exists(path)) return path.string();
    fs::create_directories(path.parent_path());
    StagedFile file(path.string());
    std::string text =
        "\"Journal title\",\"ISSN\",\"eISSN\",\"Publisher name\",\"Publisher address\",\"Languages\","
        "\"Web of Science Categories\"\r\n";
    char issn[32];
    char line[512];
    for (std::uint64_t i = 1; i <= rows; ++i) {
        const unsigned long long n = i;
        issn[0] = '\0';
        if (i % 10 != 0) std::snprintf(issn, sizeof issn, "%04llu-%04llu", n % 10000, n / 10000);
        std::snprintf(line, sizeof line,
                      "\"Journal of Studies, Part %llu\",\"%s\",\"%04llu-%04llu\",\"Publisher %llu\","
                      "\"%llu Main St., Springfield\",\"English\",\"Field %llu | Field %llu\"\r\n",
                      n, issn, (n * 7) % 10000, n / 10000, n % 500, n, n % 200, (n + 1) % 200);
        text += line;
    }
    file.write(text);
    file.commit();
    return path.string();
}

}  // namespace

#if defined(LUMAREF_CSV_LOAD_BENCH)

namespace {

// A new, empty Lumaref database for each run.
std::string newDatabase(std::uint64_t rows, const char* name) {
    const fs::path path = fs::path(dataDirFor(rows)) / name;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(path.string() + suffix);
    createNewDatabase(path.string(), false);
    return path.string();
}

template <typename Load>
void timedLoads(benchmark::State& state, std::uint64_t rows, const char* name, Load load) {
    PerIteration times;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string database = newDatabase(rows, name);
        state.ResumeTiming();
        times.start();
        const bool ok = load(database);
        times.stop();
        if (!ok) {
            state.SkipWithError("the load failed");
            return;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    times.report(state);
}

}  // namespace

void masterListWindowLumaref(benchmark::State& state, std::uint64_t rows) {
    const std::string bytes = readWholeFile(masterListCsvFor(rows));
    timedLoads(state, rows, "master-list-window.mdb", [&bytes](const std::string& database) {
        Connection connection("Data Source=" + database + ";");
        RecordSet journals("ADOQuery1", connection, "journals");
        journals.open();
        const MasterListCsv list = readMasterListCsv(bytes, "Box");
        return importMasterListCsv(list, journals, "Medicine", "Science Citation Index Expanded").added > 0;
    });
}

// The floor of the window's import: the same records, one autocommit INSERT each, on a connection
// opened as the program opens it.
void masterListWindowSqlite(benchmark::State& state, std::uint64_t rows) {
    const std::string bytes = readWholeFile(masterListCsvFor(rows));
    const MasterListCsv list = readMasterListCsv(bytes, "Box");
    timedLoads(state, rows, "master-list-autocommit.mdb", [&list](const std::string& database) {
        Connection connection("Data Source=" + database + ";");
        connection.open();
        Statement insert(connection.handle(),
                         "INSERT INTO journals (Title, ISSN, \"E-ISSN\", Address, category, subject, "
                         "\"Science Citation Index Expanded\") VALUES (?, ?, ?, ?, 'Medicine', ?, 1)");
        for (const MasterListRecord& record : list.records) {
            insert.bindText(1, record.title);
            insert.bindText(2, record.issn);
            insert.bindText(3, record.eIssn);
            insert.bindText(4, record.address);
            insert.bindText(5, record.subject);
            insert.step();
            insert.reset();
        }
        return true;
    });
}

#else

void masterListWindowLumaref(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}
void masterListWindowSqlite(benchmark::State& state, std::uint64_t) {
    state.SkipWithError("lumaref-convert is not built");
}
#endif

}  // namespace lumaref::bench
