#include "postgres_schema_copy.h"

#include <map>
#include <utility>

#include "bench_state.h"
#include "db/database_file.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"

namespace lumaref::bench {

const std::string& journalsCopiedToSchema(std::uint64_t journals, const std::string& prefix) {
    static std::map<std::pair<std::string, std::uint64_t>, std::string> copied;
    std::string& schema = copied[{prefix, journals}];
    if (schema.empty()) {
        const std::string name = prefix + std::to_string(journals);
        PgConnection server("");
        server.exec("SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + name +
                    " CASCADE; CREATE SCHEMA " + name + "; SET search_path = " + name);
        const DatabaseFile source(stateFor(journals).databasePath(), DatabaseFile::Mode::ReadOnly);
        copySqliteToPostgres(source.handle(), server, false);
        schema = name;
    }
    return schema;
}

std::string searchPath(const std::string& schemas) { return "options='-c search_path=" + schemas + "'"; }

}  // namespace lumaref::bench
