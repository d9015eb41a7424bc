#include "db/ranking_tables.h"

#include <sqlite3.h>

#include "db/statement.h"
#include "lumaref_schema.h"

namespace lumaref {

namespace {

// Every table, index and view the schema's last part makes.
constexpr int kRankingSchemaObjects = 5;

bool hasRankingTables(sqlite3* db) {
    Statement count(db,
                    "SELECT count(*) FROM sqlite_master WHERE name IN ('ranking_loads', 'ranking_names', "
                    "'ranking_journals', 'ranking_figures', 'journal_rankings')");
    count.step();
    return count.columnInt64(0) == kRankingSchemaObjects;
}

}  // namespace

void addRankingTables(sqlite3* db) {
    try {
        if (sqlite3_db_readonly(db, "main") != 0 || hasRankingTables(db)) return;
        Transaction transaction(db, Transaction::Lock::Immediate);
        exec(db, kRankingSchemaSql);
        transaction.commit();
    } catch (const SqliteError&) {
        // Locked by another program, or a file that only looked writable: a later open adds them.
    }
}

}  // namespace lumaref
