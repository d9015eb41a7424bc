#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "db/store.h"

namespace lumaref {

class PgConnection;

// How the programs sharing a PostgreSQL database learn which rows the others changed: every post and
// every load sends a notification on this channel inside its own transaction, so it arrives when,
// and only if, the change is committed. Its payload is the table, a tab, and the key of the row
// posted, or "*" for a load (every row of the table may have changed).
inline constexpr std::string_view kChangeChannel = "lumaref_changes";

// `post`, an INSERT or UPDATE of `table` without a RETURNING clause, as one statement that also
// notifies the key of each row it writes. Its result is what `post RETURNING returning` gives: the
// same rows, the same columns.
std::string withChangeNotice(std::string_view post, std::string_view table, std::string_view keyColumn,
                             std::string_view returning);

// Inside a load's transaction: every row of `table` may have changed.
void notifyTableReplaced(PgConnection& connection, std::string_view table);

// The notifications a connection receives on the channel, gathered by table. The connection listens
// from the first table it is to watch; the notifications of its own posts are left out.
class PostgresChangeFeed {
public:
    explicit PostgresChangeFeed(PgConnection& connection) : connection_(connection) {}

    // Before `table` is loaded, so nothing committed after the load goes unnoticed.
    void watch(const std::string& table);
    std::vector<TableChanges> othersChanges();

private:
    void take(std::string_view payload);
    // A connection made again (another server process) no longer listens, and missed what came meanwhile.
    void listenAgainIfNeeded();

    PgConnection& connection_;
    std::set<std::string> watched_;
    std::map<std::string, TableChanges> pending_;
    int listeningPid_ = 0;  // the server process that took LISTEN; 0: none yet
};

}  // namespace lumaref
