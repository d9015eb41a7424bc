#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "db/store.h"

namespace lumaref {

class PgConnection;

// How the programs sharing a PostgreSQL database learn which rows the others changed: a post and a
// load send a notification on this channel inside their own transaction, so it arrives when, and only
// if, the change is committed. Its payload is the table's oid, a tab, and the key of the row posted, or "*"
// for a load (every row of the table may have changed).
//
// A notification costs its commit a global lock, so a post sends one only while another program
// watches: every watching connection holds this advisory lock shared for as long as it is open (the
// server lets it go with the connection), and a post that can take it exclusively for its own
// transaction is alone and keeps quiet. A connection that starts to watch waits for such a post to
// commit, so its load then holds the post's change.
inline constexpr std::string_view kChangeChannel = "lumaref_changes";
inline constexpr long long kWatchLockKey = 0x6c756d61726566;  // "lumaref"

// `post`, an INSERT or UPDATE of `table` without a RETURNING clause, as one statement that also
// notifies the key of each row it writes while another program watches. Its result is what
// `post RETURNING returning` gives: the same rows, the same columns.
std::string withChangeNotice(std::string_view post, std::string_view table, std::string_view keyColumn,
                             std::string_view returning);

// Inside a load's transaction: every row of `table` may have changed.
void notifyTableReplaced(PgConnection& connection, std::string_view table);

// The notifications a connection receives on the channel, gathered by table. The connection listens
// from the first table it is to watch; the notifications of its own posts are left out.
class PostgresChangeFeed {
public:
    explicit PostgresChangeFeed(PgConnection& connection) : connection_(connection) {}

    // Before `table` is loaded, so nothing committed after the load goes unnoticed: from the first,
    // the connection watches (the advisory lock) and listens.
    void watch(const std::string& table);
    std::vector<TableChanges> othersChanges();

private:
    void take(std::string_view payload);
    // A connection made again (another server process) no longer listens, and missed what came meanwhile.
    void listenAgainIfNeeded();

    PgConnection& connection_;
    std::map<std::string, std::string> watched_;  // the tables' names by their oid, as text
    std::map<std::string, TableChanges> pending_;
    int listeningPid_ = 0;  // the server process that took LISTEN; 0: none yet
};

}  // namespace lumaref
