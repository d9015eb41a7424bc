// The tables of the figures from several sources on a server: made from the same schema text as in an
// SQLite file, with the keys a WITHOUT ROWID table has there as unique indexes, and the journals' rights.
#include <vector>

#include "db/database_file.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"
#include "db/ranking_tables.h"
#include "db/schema_names.h"
#include "db/statement.h"
#include "lumaref_schema.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr const char* kIndexes[] = {
    "CREATE UNIQUE INDEX IF NOT EXISTS ranking_loads_key ON ranking_loads (\"load\")",
    "CREATE UNIQUE INDEX IF NOT EXISTS ranking_names_key ON ranking_names (\"load\", \"number\")",
    "CREATE UNIQUE INDEX IF NOT EXISTS ranking_journals_key ON ranking_journals (\"load\", \"entry\")",
    "CREATE UNIQUE INDEX IF NOT EXISTS ranking_figures_key ON ranking_figures (\"figure\")",
};
constexpr int kObjects = 4 + 1 + static_cast<int>(std::size(kIndexes));

constexpr const char* kPresentSql =
    "SELECT count(to_regclass(name)) FROM unnest(ARRAY['ranking_loads', 'ranking_names', 'ranking_journals', "
    "'ranking_figures', 'journal_rankings', 'ranking_loads_key', 'ranking_names_key', "
    "'ranking_journals_key', "
    "'ranking_figures_key']) AS name";

// Whether the connecting role owns the journals table (or is a member of its owner).
constexpr const char* kOwnsJournalsSql =
    "SELECT pg_has_role(c.relowner, 'MEMBER') FROM pg_class c WHERE c.oid = to_regclass('journals')";

// The roles other than the owner that may read the journals, and whether they may also add them.
constexpr const char* kJournalRightsSql =
    "SELECT a.grantee::regrole::text, bool_or(a.privilege_type = 'INSERT') FROM pg_class c, "
    "aclexplode(c.relacl) a WHERE c.oid = to_regclass('journals') AND a.grantee <> 0 AND a.grantee <> "
    "c.relowner GROUP BY a.grantee HAVING bool_or(a.privilege_type = 'SELECT')";

// The view's SELECT, as schema.sql writes it for SQLite.
std::string viewQuery() {
    const std::string_view head = "CREATE VIEW IF NOT EXISTS journal_rankings AS";
    const std::size_t at = kRankingSchemaSql.find(head);
    const std::size_t end = kRankingSchemaSql.find(';', at);
    if (at == std::string_view::npos || end == std::string_view::npos)
        throw Error("schema.sql does not define the view journal_rankings.");
    return std::string(kRankingSchemaSql.substr(at + head.size(), end - at - head.size()));
}

}  // namespace

void addRankingTables(PgConnection& connection) {
    try {
        if (connection.exec(kPresentSql).value(0, 0) == std::to_string(kObjects)) return;
        const PgResult owner = connection.exec(kOwnsJournalsSql);
        if (owner.rows() != 1 || owner.value(0, 0) != "t") return;
        const DatabaseFile schema(":memory:", DatabaseFile::Mode::Create);
        exec(schema.handle(), kRankingSchemaSql);
        inOneTransaction(connection, [&] {
            for (const std::string_view table : kRankingTables) {
                const std::string quoted = quoteIdentifier(table);
                const std::optional<std::string_view> name[] = {std::string_view(quoted)};
                if (connection.execPrepared("SELECT to_regclass($1)", name).isNull(0, 0))
                    connection.exec(postgresCreateTableSql(schema.handle(), std::string(table)));
            }
            for (const char* index : kIndexes) connection.exec(index);
            connection.exec("CREATE OR REPLACE VIEW journal_rankings AS" + viewQuery());
            const PgResult rights = connection.exec(kJournalRightsSql);
            for (int row = 0; row < rights.rows(); ++row) {
                const std::string role(rights.value(row, 0));
                const bool adds = rights.value(row, 1) == "t";
                for (const std::string_view table : kRankingTables) {
                    connection.exec("GRANT " + std::string(adds ? "SELECT, INSERT, DELETE" : "SELECT") +
                                    " ON " + quoteIdentifier(table) + " TO " + role);
                }
                connection.exec("GRANT SELECT ON journal_rankings TO " + role);
            }
        });
    } catch (const Error&) {
        // A role without the right to create, a server that refuses: the database opens as it is.
    }
}

}  // namespace lumaref
