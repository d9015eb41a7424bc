// Live refresh over a PostgreSQL server: another program posts one journal's change; the journals of a
// window (filtered to a category) take it in. Beside it libpq alone doing the least a listener can:
// a round trip that brings the notification, then that one row read by its key. Without a server each
// is reported as an error and the rest of the run goes on.
#include <libpq-fe.h>

#include <memory>
#include <string>

#include "bench_data.h"
#include "db/connection.h"
#include "db/postgres_connection.h"
#include "db/postgres_store.h"
#include "db/record_set.h"
#include "db/record_set_refresh.h"
#include "db/statement.h"
#include "operations.h"
#include "per_iteration.h"
#include "postgres_schema_copy.h"

namespace lumaref::bench {

namespace {

// The bench's journals of each size on the server, in a schema of their own that the refresh changes
// (one address per iteration) and nothing else reads.
std::string refreshSchema(std::uint64_t journals) {
    return searchPath(journalsCopiedToSchema(journals, "lumaref_bench_refresh_"));
}

RowKey journalOf(std::uint64_t iteration, std::uint64_t journals) {
    return static_cast<RowKey>(1 + (iteration * 7919) % journals);
}

// A value no earlier run wrote: Google Benchmark runs each benchmark more than once.
std::string newAddress() {
    static std::uint64_t written = 0;
    return "Refreshed " + std::to_string(++written);
}

template <class Run>
void withServer(benchmark::State& state, Run run) {
    try {
        run();
    } catch (const Error& failure) {
        state.SkipWithError(failure.what());
    }
}

}  // namespace

void refreshPostgresLumaref(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        const std::string conninfo = refreshSchema(journals);
        Connection window(conninfo);
        RecordSet shown("ADOQuery1", window, "journals");
        shown.open();
        shown.setFilter("category = '" + std::string(kCategory) + "'");
        shown.setFiltered(true);
        RecordSet* sets[] = {&shown};
        Connection other(conninfo);
        other.open();
        PerIteration times;
        std::uint64_t iteration = 0;
        for (auto _ : state) {
            state.PauseTiming();
            const RowKey keys[] = {journalOf(iteration, journals)};
            const LoadedTable row = other.store().loadRows("journals", keys);
            const auto field = static_cast<std::size_t>(row.table.findColumn("Address"));
            const Column& column = row.table.columns[field];
            const std::string held(column.text(0));
            ++iteration;
            const std::string value = newAddress();
            const FieldChange change[] = {
                {field, value, column.isNull(0) ? std::nullopt : std::optional<std::string_view>(held)}};
            other.store().update("journals", row.table, keys[0], change);
            state.ResumeTiming();
            times.start();
            const auto changed = refreshRecordSets(window, sets);
            times.stop();
            if (!changed || changed->front() != 1) {
                state.SkipWithError(("the refresh did not take in the one changed journal: " +
                                     (changed ? std::to_string(changed->front()) : std::string("none")))
                                        .c_str());
                break;
            }
        }
        times.report(state);
    });
}

void refreshPostgresLibpq(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        const std::string conninfo = refreshSchema(journals);
        PgConnection listener(conninfo);
        listener.exec("LISTEN lumaref_bench");
        PgConnection other(conninfo);
        const std::string key = quoteIdentifier(kPostgresKeyColumn);
        const std::string update = "UPDATE journals SET \"Address\" = $1 WHERE " + key +
                                   " = $2::bigint RETURNING pg_notify('lumaref_bench', " + key + "::text)";
        PerIteration times;
        std::uint64_t iteration = 0;
        for (auto _ : state) {
            state.PauseTiming();
            const std::string keyText = std::to_string(journalOf(iteration, journals));
            ++iteration;
            const std::string value = newAddress();
            const std::optional<std::string_view> params[] = {std::string_view(value),
                                                              std::string_view(keyText)};
            other.execPrepared(update, params);
            state.ResumeTiming();
            times.start();
            listener.exec("SELECT 1");
            std::string notified;
            while (PGnotify* notify = PQnotifies(listener.handle())) {
                notified = notify->extra;
                PQfreemem(notify);
            }
            const std::optional<std::string_view> which[] = {std::string_view(notified)};
            const PgResult row =
                listener.execPrepared("SELECT * FROM journals WHERE " + key + " = $1::bigint", which);
            for (int i = 0; i < row.columns(); ++i) benchmark::DoNotOptimize(row.value(0, i));
            times.stop();
            if (row.rows() != 1) {
                state.SkipWithError("no notification came");
                break;
            }
        }
        times.report(state);
    });
}

}  // namespace lumaref::bench
