#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace lumaref {
class Connection;
class RecordSet;
}  // namespace lumaref

namespace lumaref::bench {

// Each operation is timed for Lumaref and for its peers on the same data of `journals` journals.
// Lumaref: the record set (lumaref_benchmarks.cpp). Peers (peer_benchmarks.cpp): SQLite's own query
// for the same condition, a plain memmem scan of the same title bytes, and the filter evaluated row by row.
using Operation = void (*)(benchmark::State&, std::uint64_t journals);

void openLumaref(benchmark::State&, std::uint64_t);
// Opens the journals of a connection once per iteration; the rows read become the counter "rows".
void timeJournalsOpen(benchmark::State&, Connection&);
void openSqlite(benchmark::State&, std::uint64_t);
// Steps select * of the journals of `db` once per iteration, reading every cell.
void timeSelectAll(benchmark::State&, sqlite3* db);

// The journals opened from a PostgreSQL server, against libpq's COPY ... TO STDOUT into memory.
void openPostgresLumaref(benchmark::State&, std::uint64_t);
void openPostgresCopy(benchmark::State&, std::uint64_t);

void categoryFilterLumaref(benchmark::State&, std::uint64_t);
void categoryFilterSqlite(benchmark::State&, std::uint64_t);

void searchFilterLumaref(benchmark::State&, std::uint64_t);
void searchFilterSqlite(benchmark::State&, std::uint64_t);
void searchFilterMemmem(benchmark::State&, std::uint64_t);
void searchFilterRowByRow(benchmark::State&, std::uint64_t);

// Open, then the first search: the search also builds the folded copies of the columns it reads,
// so this less Open is what the first keystroke after start-up costs.
void firstSearchLumaref(benchmark::State&, std::uint64_t);

// "o" to "optic" typed letter by letter through the search handler: Lumaref reports each keystroke's
// median and the median of the keystrokes typed on; the peer one query per keystroke, the whole word
// per iteration.
void keystrokesLumaref(benchmark::State&, std::uint64_t);
void keystrokesSqlite(benchmark::State&, std::uint64_t);
// Typed on to "optic", then Backspace back to "o": Lumaref's medians per text as above, the peer's per
// Backspace.
void backspaceLumaref(benchmark::State&, std::uint64_t);
void backspaceSqlite(benchmark::State&, std::uint64_t);

// The same keystrokes with the rows sorted by impact factor, highest first; the peer's queries end in
// the same ORDER BY.
void keystrokesSortedLumaref(benchmark::State&, std::uint64_t);
void keystrokesSortedSqlite(benchmark::State&, std::uint64_t);

// A click on a column title, IF then Title, over every journal: the rows sorted from stored order. The
// peer: SQLite's ORDER BY on the same column, stepped to the end. Each column's median is a counter.
void sortLumaref(benchmark::State&, std::uint64_t);
// The open with a sort by Title restored, against the same select * as Open's peer.
void openSortedLumaref(benchmark::State&, std::uint64_t);
void sortSqlite(benchmark::State&, std::uint64_t);

void searchHandlerLumaref(benchmark::State&, std::uint64_t);
void searchHandlerSqlite(benchmark::State&, std::uint64_t);

// "Update lists" written to a temporary program directory; the peer runs one DISTINCT query per list.
void updateListsLumaref(benchmark::State&, std::uint64_t);
void updateListsSqlite(benchmark::State&, std::uint64_t);

// A jcr2018 CSV of that many rows loaded into an empty table, against `sqlite3 DB ".import --csv ..."`.
void csvLoadLumaref(benchmark::State&, std::uint64_t);
void csvLoadSqliteShell(benchmark::State&, std::uint64_t);
// The same from a file whose every field is quoted and full of doubled quotes.
void csvQuotesLumaref(benchmark::State&, std::uint64_t);
void csvQuotesSqliteShell(benchmark::State&, std::uint64_t);
void masterListWindowLumaref(benchmark::State&, std::uint64_t);
void masterListWindowSqlite(benchmark::State&, std::uint64_t);

// lumaref-convert's loads of the downloads (tools/demo_ranking_files), `rows` rows each, into an empty
// database in one transaction, against `sqlite3 DB ".import ..."` of the same file into one table.
void loadSjrLumaref(benchmark::State&, std::uint64_t);
void loadSjrSqliteImport(benchmark::State&, std::uint64_t);
void loadDoajLumaref(benchmark::State&, std::uint64_t);
void loadDoajSqliteImport(benchmark::State&, std::uint64_t);
void loadJcrLumaref(benchmark::State&, std::uint64_t);
void loadJcrSqliteImport(benchmark::State&, std::uint64_t);
void loadListLumaref(benchmark::State&, std::uint64_t);
void loadListSqliteImport(benchmark::State&, std::uint64_t);
void loadMasterListLumaref(benchmark::State&, std::uint64_t);
void loadMasterListSqliteImport(benchmark::State&, std::uint64_t);

// The ranking updates on a fresh copy of the data each time; peers: the same UPDATEs through SQLite
// alone, and the row-by-row search of the ranking table (10k journals only).
void impactFactorUpdateLumaref(benchmark::State&, std::uint64_t);
void impactFactorUpdateSqlite(benchmark::State&, std::uint64_t);
void impactFactorUpdateRowByRow(benchmark::State&, std::uint64_t);
// The same update posted to a PostgreSQL server, against libpq sending the SQLite peer's UPDATEs.
void impactFactorUpdatePostgresLumaref(benchmark::State&, std::uint64_t);
void impactFactorUpdatePostgresLibpq(benchmark::State&, std::uint64_t);
void quartileUpdateLumaref(benchmark::State&, std::uint64_t);
void quartileUpdateSqlite(benchmark::State&, std::uint64_t);
// The quartile filters set journal by journal, each answered from the equality index.
void quartileUpdateByFilters(benchmark::State&, std::uint64_t);

// A master list of `journals` entries imported into an empty journals table of a real database file:
// Lumaref's importer (one commit per record) against SQLite inserting the same rows, one autocommit
// INSERT each (the per-row peer) and all in one transaction.
void importLumaref(benchmark::State&, std::uint64_t);
void importSqlite(benchmark::State&, std::uint64_t);
void importSqliteTransaction(benchmark::State&, std::uint64_t);
// The same import onto a PostgreSQL server, against libpq's autocommit INSERTs of the same rows.
void importPostgresLumaref(benchmark::State&, std::uint64_t);
void importPostgresLibpq(benchmark::State&, std::uint64_t);

// Every journal written as a journal list, against one write() of the same bytes.
void exportLumaref(benchmark::State&, std::uint64_t);
void exportWrite(benchmark::State&, std::uint64_t);

// Every journal and every column exported as the window exports its view: an XLSX workbook against
// libxlsxwriter writing the same cells alone, a CSV file against one write() of the same bytes made
// durable with fsync() as the export makes its file (Write), and without (WriteCached).
void exportXlsxLumaref(benchmark::State&, std::uint64_t);
void exportXlsxXlsxwriter(benchmark::State&, std::uint64_t);
void exportCsvLumaref(benchmark::State&, std::uint64_t);
void exportCsvWrite(benchmark::State&, std::uint64_t);
void exportCsvWriteCached(benchmark::State&, std::uint64_t);
// Another program changes one journal; the journals, filtered to a category, take it in. The peer:
// SQLite's data_version, then the changed row read by its rowid.
void refreshLumaref(benchmark::State&, std::uint64_t);
void refreshSqlite(benchmark::State&, std::uint64_t);
// The same over a PostgreSQL server; the peer: libpq's round trip bringing the notification, then the
// row read by its key.
void refreshPostgresLumaref(benchmark::State&, std::uint64_t);
void refreshPostgresLibpq(benchmark::State&, std::uint64_t);

// Counters only: the loaded snapshot's bytes against the database file's size.
void memoryLumaref(benchmark::State&, std::uint64_t);

// Each search text of `sequence` through the search handler on `set`, timed one by one, each followed by
// `paint` when given (what the grid reads to draw the rows shown): the median of the whole sequence, of
// each text, and of the texts from `measuredFrom` on ("measured_median_ms").
void sequenceLoop(benchmark::State& state, RecordSet& set, const std::vector<std::string>& sequence,
                  std::size_t measuredFrom, const std::function<void(RecordSet&)>& paint = nullptr);

// 10 years of JCR, SJR and DOAJ at the size of their real downloads loaded beside the journals:
// opening the journals, against SQLite stepping select * of the same file; a keystroke with every
// figure column shown (beside Keystrokes/Lumaref); the figures pane's fill for one journal, against
// SQLite stepping the same query of the view.
void openFiguresLumaref(benchmark::State&, std::uint64_t);
void openFiguresSqlite(benchmark::State&, std::uint64_t);
void keystrokesFiguresLumaref(benchmark::State&, std::uint64_t);
void figuresPaneLumaref(benchmark::State&, std::uint64_t);
void figuresPaneSqlite(benchmark::State&, std::uint64_t);

// The category, search text and keystrokes every operation uses.
inline constexpr const char* kSearchWord = "optic";
inline constexpr const char* kKeystrokes[] = {"o", "op", "opt", "opti", "optic"};

}  // namespace lumaref::bench
