// Master-list import and journal-list export, beside their peers: SQLite inserting the same rows (one
// autocommit INSERT each, and all in one transaction), and one write() of the same bytes.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "demo_journal.h"
#include "demo_master_list.h"
#include "exchange/journal_list_export.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"
#include "master_list_rows.h"
#include "operations.h"
#include "per_iteration.h"
#include "text/text_file.h"

namespace lumaref::bench {

namespace {

std::size_t columnOfCode(ImportCode code) {
    switch (code) {
        case ImportCode::Frequency:
            return 3;
        case ImportCode::Issn:
            return 4;
        case ImportCode::EIssn:
            return 5;
        case ImportCode::Address:
            return 6;
        case ImportCode::ScienceCitationIndex:
            return 7;
        case ImportCode::ScienceCitationIndexExpanded:
            return 8;
        case ImportCode::EmergingSourcesCitationIndex:
            return 9;
        case ImportCode::ArtsHumanitiesCitationIndex:
            return 10;
        case ImportCode::FirstCurrentContents:
            return 11;
        case ImportCode::SecondCurrentContents:
            return 12;
        default:
            throw std::logic_error("not a field line");
    }
}

}  // namespace

const MasterList& masterListFor(std::uint64_t entries) {
    static std::unique_ptr<MasterList> current;
    static std::uint64_t currentEntries = 0;
    if (current && currentEntries == entries) return *current;
    auto list = std::make_unique<MasterList>();
    list->path = dataDirFor(entries) + "/master-list.txt";
    std::string text = demo::masterListHeading(kCategoryText, kSubjectText, entries);
    const demo::JournalMaker maker(7);
    for (std::uint64_t n = 1; n <= entries; ++n) demo::appendMasterListEntry(text, n, maker.make(n, 0, 0));
    replaceFileAtomically(list->path, text);

    MasterListLines lines(text);
    ImportLineClassifier classifier;
    std::string_view line;
    while (lines.nextLine(line)) {
        const ClassifiedLine classified = classifier.ClassifyImportLine(line);
        if (classified.code == ImportCode::NotRecognised) continue;
        if (classified.code == ImportCode::Title) {
            list->rows.emplace_back();
            list->rows.back()[0] = std::string(classified.text);
            list->rows.back()[1] = kCategoryText;
            list->rows.back()[2] = kSubjectText;
            continue;
        }
        list->rows.back()[columnOfCode(classified.code)] = std::string(classified.text);
    }

    // The tables of the benchmark database, for an empty database of the same schema.
    sqlite3* db = stateFor(entries).sqlite();
    SqliteQuery schema(db, "SELECT sql FROM sqlite_master WHERE type = 'table'");
    while (sqlite3_step(schema.get()) == SQLITE_ROW) {
        list->schemaSql += reinterpret_cast<const char*>(sqlite3_column_text(schema.get(), 0));
        list->schemaSql += ";\n";
    }
    current = std::move(list);
    currentEntries = entries;
    return *current;
}

namespace {

// A new, empty database file beside the benchmark data, as a fresh Database.mdb.
std::string freshDatabase(const MasterList& list, std::uint64_t entries) {
    std::string path = dataDirFor(entries) + "/import-bench.mdb";
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, list.schemaSql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + path + ": " + message);
    }
    sqlite3_close(db);
    return path;
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
}

// The same rows through one prepared INSERT, each its own commit unless `oneTransaction`, with the
// connection settings the program uses.
void insertRows(benchmark::State& state, std::uint64_t entries, bool oneTransaction) {
    const MasterList& list = masterListFor(entries);
    std::string sql = "INSERT INTO journals (";
    for (std::size_t i = 0; i < kImportColumns.size(); ++i) {
        sql += (i == 0 ? "\"" : ", \"") + std::string(kImportColumns[i]) + "\"";
    }
    sql += ") VALUES (?";
    for (std::size_t i = 1; i < kImportColumns.size(); ++i) sql += ", ?";
    sql += ")";
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = freshDatabase(list, entries);
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        exec(db, "PRAGMA journal_mode=WAL");
        exec(db, "PRAGMA synchronous=NORMAL");
        {
            SqliteQuery insert(db, sql.c_str());
            if (oneTransaction) exec(db, "BEGIN");
            for (const ImportRow& row : list.rows) {
                for (std::size_t i = 0; i < row.size(); ++i) {
                    const int index = static_cast<int>(i) + 1;
                    if (i >= kFirstBoolean && i < kFirstAfterBooleans) {
                        sqlite3_bind_int(insert.get(), index, row[i] ? 1 : 0);
                    } else if (row[i]) {
                        insert.bind(index, *row[i]);
                    } else {
                        sqlite3_bind_null(insert.get(), index);
                    }
                }
                if (sqlite3_step(insert.get()) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
                sqlite3_reset(insert.get());
            }
            if (oneTransaction) exec(db, "COMMIT");
        }
        sqlite3_close(db);
    }
    state.counters["rows"] = static_cast<double>(list.rows.size());
}

std::string exportPath(std::uint64_t journals) { return dataDirFor(journals) + "/export-bench.txt"; }

}  // namespace

// The window-free import: read and decode the file, classify, append and post each record.
void importLumaref(benchmark::State& state, std::uint64_t entries) {
    const MasterList& list = masterListFor(entries);
    std::int64_t imported = 0;
    double logBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = freshDatabase(list, entries);
        Connection connection(connectionStringFor(path));
        RecordSet journals("ADOQuery1", connection, "journals");
        journals.open();
        ImportLineClassifier classifier;
        state.ResumeTiming();
        MasterListLines lines(readMasterListFile(list.path));
        imported = importMasterList(lines, journals, classifier, kCategoryText, kSubjectText);
        state.PauseTiming();
        // SQLite reuses the log from its start once it is folded back, never shrinking it: its size now
        // is the most it held during the import.
        std::error_code ec;
        logBytes = std::max(logBytes, static_cast<double>(std::filesystem::file_size(path + "-wal", ec)));
        journals.close();
        connection.close();
        state.ResumeTiming();
    }
    if (imported != static_cast<std::int64_t>(list.rows.size()))
        state.SkipWithError("the import counted other rows than the peers insert");
    state.counters["rows"] = static_cast<double>(imported);
    state.counters["wal_mb"] = logBytes / 1e6;
}

void importSqlite(benchmark::State& state, std::uint64_t entries) { insertRows(state, entries, false); }
void importSqliteTransaction(benchmark::State& state, std::uint64_t entries) {
    insertRows(state, entries, true);
}

void exportLumaref(benchmark::State& state, std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    set.setFilter("");
    PerIteration times;
    for (auto _ : state) {
        times.start();
        exportJournalList(set, exportPath(journals));
        times.stop();
    }
    state.counters["bytes"] = static_cast<double>(fileSize(exportPath(journals)));
    times.report(state);
}

// The physical limit: the same bytes, made beforehand, in one write() to a new file.
void exportWrite(benchmark::State& state, std::uint64_t journals) {
    const std::string bytes = journalListText(stateFor(journals).journalSet());
    const std::string path = exportPath(journals) + ".peer";
    PerIteration times;
    for (auto _ : state) {
        times.start();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::close(fd) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        times.stop();
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    times.report(state);
}

}  // namespace lumaref::bench
