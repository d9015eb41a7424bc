// Opening the journals from a PostgreSQL server (the one libpq's environment names, e.g. under
// pg_virtualenv), against libpq's own COPY ... TO STDOUT of the same table into memory. Without a
// server both are reported as errors and the rest of the run goes on.
#include <libpq-fe.h>

#include <map>
#include <string>
#include <vector>

#include "bench_state.h"
#include "db/database_file.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"
#include "db/postgres_store.h"
#include "operations.h"
#include "text/error.h"

namespace lumaref::bench {

namespace {

// The bench's journals of each size carried onto the server once, each size in a schema of its own.
std::string serverSchema(std::uint64_t journals) {
    static std::map<std::uint64_t, std::string> copied;
    auto& schema = copied[journals];
    if (schema.empty()) {
        const std::string name = "lumaref_bench_" + std::to_string(journals);
        PgConnection server("");
        server.exec("SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + name +
                    " CASCADE; CREATE SCHEMA " + name + "; SET search_path = " + name);
        const DatabaseFile source(stateFor(journals).databasePath(), DatabaseFile::Mode::ReadOnly);
        copySqliteToPostgres(source.handle(), server, false);
        schema = "options='-c search_path=" + name + "'";
    }
    return schema;
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

void openPostgresLumaref(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        Connection connection(serverSchema(journals));
        connection.open();
        timeJournalsOpen(state, connection);
    });
}

// The floor: the same rows as the server sends them, each kept as one block of text.
void openPostgresCopy(benchmark::State& state, std::uint64_t journals) {
    withServer(state, [&] {
        PgConnection connection(serverSchema(journals));
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

}  // namespace lumaref::bench
