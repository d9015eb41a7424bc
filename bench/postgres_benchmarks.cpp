// The journals opened from, the impact-factor update posted to and a master list imported onto a
// PostgreSQL server (the one libpq's environment names, e.g. under pg_virtualenv), each beside libpq
// alone doing the same: COPY ... TO STDOUT into memory, the same UPDATEs, autocommit INSERTs of the
// same rows. Without a server each is reported as an error and the rest of the run goes on.
#include <libpq-fe.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench_state.h"
#include "db/postgres_connection.h"
#include "db/postgres_store.h"
#include "db/statement.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"
#include "master_list_rows.h"
#include "operations.h"
#include "per_iteration.h"
#include "postgres_schema_copy.h"
#include "ranking/impact_factor_update.h"
#include "ranking_record_sets.h"
#include "text/error.h"

namespace lumaref::bench {

namespace {

// The bench's journals of each size carried onto the server once, each size in a schema of its own.
const std::string& copiedSchema(std::uint64_t journals) {
    return journalsCopiedToSchema(journals, "lumaref_bench_");
}

// A journals table that a batch job may change, laid anew before every run; the other tables are
// read from the size's copy through the search path.
class ScratchJournals {
public:
    explicit ScratchJournals(std::uint64_t journals)
        : copy_(copiedSchema(journals)), name_(copy_ + "_scratch"), server_("") {
        server_.exec("SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + name_ +
                     " CASCADE; CREATE SCHEMA " + name_ + "; CREATE TABLE " + name_ + ".journals (LIKE " +
                     copy_ + ".journals INCLUDING ALL)");
    }
    ~ScratchJournals() {
        try {
            server_.exec("DROP SCHEMA IF EXISTS " + name_ + " CASCADE");
        } catch (const Error&) {
            // Dropped by the next run's set-up instead.
        }
    }
    ScratchJournals(const ScratchJournals&) = delete;
    ScratchJournals& operator=(const ScratchJournals&) = delete;

    // The copy's journals, keys included, or none; vacuumed, so no run pays for the last one's dead rows.
    void reset(bool withRows) {
        server_.exec("TRUNCATE " + name_ + ".journals RESTART IDENTITY");
        if (withRows) {
            server_.exec("INSERT INTO " + name_ + ".journals OVERRIDING SYSTEM VALUE SELECT * FROM " + copy_ +
                         ".journals");
        }
        server_.exec("VACUUM ANALYZE " + name_ + ".journals");
    }
    std::string conninfo() const { return searchPath(name_ + "," + copy_); }

private:
    std::string copy_;
    std::string name_;
    PgConnection server_;
};

template <class Run>
void withServer(benchmark::State& state, Run run) {
    try {
        run();
    } catch (const Error& failure) {
        state.SkipWithError(failure.what());
    }
}

// One statement prepared on a plain libpq connection, then run with text parameters (nullptr: null),
// each its own transaction.
class LibpqStatement {
public:
    LibpqStatement(PgConnection& connection, const std::string& sql) : conn_(connection.handle()) {
        PGresult* prepared = PQprepare(conn_, "peer", sql.c_str(), 0, nullptr);
        const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
        PQclear(prepared);
        if (!ok) throw Error(PQerrorMessage(conn_));
    }
    void run(const std::vector<const char*>& values) {
        PGresult* result = PQexecPrepared(conn_, "peer", static_cast<int>(values.size()), values.data(),
                                          nullptr, nullptr, 0);
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        if (!ok) throw Error(PQerrorMessage(conn_));
    }

private:
    pg_conn* conn_;
};

// The keys the copy gave the journals: their places in rowid order.
std::vector<std::int64_t> rowidsInOrder(sqlite3* db) {
    std::vector<std::int64_t> rowids;
    SqliteQuery rows(db, "SELECT rowid FROM journals ORDER BY rowid");
    while (sqlite3_step(rows.get()) == SQLITE_ROW) rowids.push_back(sqlite3_column_int64(rows.get(), 0));
    return rowids;
}

}  // namespace

void openPostgresLumaref(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        Connection connection(searchPath(copiedSchema(journals)));
        connection.open();
        timeJournalsOpen(state, connection);
    });
}

// The floor: the same rows as the server sends them, each kept as one block of text.
void openPostgresCopy(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        PgConnection connection(searchPath(copiedSchema(journals)));
        std::size_t rows = 0;
        for (auto _ : state) {
            std::vector<std::string> lines;
            connection.exec("COPY journals TO STDOUT");
            char* buffer = nullptr;
            int length = 0;
            while ((length = PQgetCopyData(connection.handle(), &buffer, 0)) > 0) {
                lines.emplace_back(buffer, static_cast<std::size_t>(length));
                PQfreemem(buffer);
            }
            while (PGresult* result = PQgetResult(connection.handle())) PQclear(result);
            rows = lines.size();
            state.PauseTiming();
            lines.clear();
            state.ResumeTiming();
        }
        state.counters["rows"] = static_cast<double>(rows);
    });
}

// The window's update on record sets over the server: each post its own transaction, checked against
// the values it read, the posts sent ahead of their answers in libpq's pipeline.
void impactFactorUpdatePostgresLumaref(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        ScratchJournals scratch(journals);
        NoWindow steps;
        PerIteration times;
        UpdateCounts counts;
        for (auto _ : state) {
            state.PauseTiming();
            scratch.reset(true);
            auto sets = std::make_unique<RankingRecordSets>(scratch.conninfo());
            state.ResumeTiming();
            times.start();
            counts = updateImpactFactors(sets->journals, sets->ranking, steps);
            times.stop();
            state.PauseTiming();
            sets.reset();
            state.ResumeTiming();
        }
        state.counters["walked"] = counts.walked;
        state.counters["posted"] = counts.posted;
        times.report(state);
    });
}

// The floor: the UPDATEs the SQLite peer sends, by key, one autocommit statement each.
void impactFactorUpdatePostgresLibpq(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        ScratchJournals scratch(journals);
        sqlite3* db = stateFor(journals).sqlite();
        const std::vector<RankingUpdate> updates = impactFactorUpdates(db);
        const std::vector<std::int64_t> rowids = rowidsInOrder(db);
        std::vector<std::string> keys;
        for (const RankingUpdate& u : updates) {
            const auto at = std::lower_bound(rowids.begin(), rowids.end(), u.rowid);
            keys.push_back(std::to_string(at - rowids.begin() + 1));
        }
        PerIteration times;
        for (auto _ : state) {
            state.PauseTiming();
            scratch.reset(true);
            PgConnection connection(scratch.conninfo());
            LibpqStatement update(connection,
                                  "UPDATE journals SET \"IF\" = $1, \"Total Cites\" = $2, "
                                  "\"Impact Factor without Journal Self Cites\" = $3 WHERE " +
                                      quoteIdentifier(kPostgresKeyColumn) + " = $4");
            std::vector<const char*> values(4);
            state.ResumeTiming();
            times.start();
            for (std::size_t i = 0; i < updates.size(); ++i) {
                for (std::size_t v = 0; v < 3; ++v) {
                    const std::string& value = updates[i].values[v];
                    values[v] = value.empty() ? nullptr : value.c_str();
                }
                values[3] = keys[i].c_str();
                update.run(values);
            }
            times.stop();
        }
        state.counters["posted"] = static_cast<double>(updates.size());
        times.report(state);
    });
}

// The window-free import onto the server: read and decode the file, classify, append and post each
// record, every append its own transaction (INSERT ... RETURNING its key), sent ahead in the pipeline.
void importPostgresLumaref(benchmark::State& state, std::uint64_t entries) {
    withServer(state, [&] {
        const MasterList& list = masterListFor(entries);
        ScratchJournals scratch(entries);
        std::int64_t imported = 0;
        for (auto _ : state) {
            state.PauseTiming();
            scratch.reset(false);
            Connection connection(scratch.conninfo());
            RecordSet journals("ADOQuery1", connection, "journals");
            journals.open();
            ImportLineClassifier classifier;
            state.ResumeTiming();
            MasterListLines lines(readMasterListFile(list.path));
            imported = importMasterList(lines, journals, classifier, kCategoryText, kSubjectText);
            state.PauseTiming();
            journals.close();
            connection.close();
            state.ResumeTiming();
        }
        if (imported != static_cast<std::int64_t>(list.rows.size()))
            state.SkipWithError("the import counted other rows than the peer inserts");
        state.counters["rows"] = static_cast<double>(imported);
    });
}

// The floor: the same rows as the SQLite peer inserts, one autocommit INSERT each.
void importPostgresLibpq(benchmark::State& state, std::uint64_t entries) {
    withServer(state, [&] {
        const MasterList& list = masterListFor(entries);
        ScratchJournals scratch(entries);
        std::string sql = "INSERT INTO journals (";
        std::string marks;
        for (std::size_t i = 0; i < kImportColumns.size(); ++i) {
            sql += (i == 0 ? "" : ", ") + quoteIdentifier(kImportColumns[i]);
            marks += (i == 0 ? "$" : ", $") + std::to_string(i + 1);
        }
        sql += ") VALUES (" + marks + ")";
        for (auto _ : state) {
            state.PauseTiming();
            scratch.reset(false);
            state.ResumeTiming();
            PgConnection connection(scratch.conninfo());
            LibpqStatement insert(connection, sql);
            std::vector<const char*> values(kImportColumns.size());
            for (const ImportRow& row : list.rows) {
                for (std::size_t i = 0; i < row.size(); ++i) {
                    if (i >= kFirstBoolean && i < kFirstAfterBooleans) {
                        values[i] = row[i] ? "true" : "false";
                    } else {
                        values[i] = row[i] ? row[i]->c_str() : nullptr;
                    }
                }
                insert.run(values);
            }
        }
        state.counters["rows"] = static_cast<double>(list.rows.size());
    });
}

}  // namespace lumaref::bench
