#pragma once

struct sqlite3;

namespace lumaref {

class PgConnection;

// Gives a database the tables of the figures from several sources and their view (the last part of
// schema.sql) where they are missing, leaving everything else as it is. Opening a database does this,
// so one made before they existed gains them.
//
// SQLite: only a database this connection may write; while another program holds the write lock the
// tables wait for a later open. A server: only as the owner of the journals table, granting the roles
// that may read the journals SELECT, and those that may add journals SELECT, INSERT and DELETE (a load
// replaces its source and year). Nothing is reported: a database without the tables opens as before,
// and a load into it names the missing table.
void addRankingTables(sqlite3* db);
void addRankingTables(PgConnection& connection);

}  // namespace lumaref
