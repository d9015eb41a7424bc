#pragma once

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/record_set.h"

namespace lumaref::bench {

// The program's record sets for the ranking updates, over one connection, open as at start-up with
// nothing chosen: filtering on, every journal shown.
struct RankingRecordSets {
    explicit RankingRecordSets(const std::string& connectionString);
    std::array<RecordSet*, 4> quartileSets();

    Connection connection;
    RecordSet journals;
    RecordSet ranking;
    std::array<std::unique_ptr<RecordSet>, 4> quartiles;
};

// One journal a ranking update posts: its rowid and the new values of the fields it writes.
struct RankingUpdate {
    std::int64_t rowid;
    std::vector<std::string> values;
};

// The journals the impact-factor update posts and their IF, Total Cites and IF without self cites,
// found by plain SQL and a map under the update's rule. A null value reads as "".
std::vector<RankingUpdate> impactFactorUpdates(sqlite3* db);

}  // namespace lumaref::bench
