#pragma once

#include <array>
#include <string>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"

namespace lumaref {

// What the window works on: the connection (Database.mdb in the current directory unless another
// connection string is given, e.g. a PostgreSQL database) and the six record sets over it, named after
// their components so their errors read as they always have. Built closed; the window opens them and
// reports each failure. Whoever hands it to a window keeps it alive longer than the window.
struct JournalDatabase {
    explicit JournalDatabase(std::string connectionString = kDefaultConnectionString);

    // The four quartile tables in order, as the quartile update takes them.
    std::array<RecordSet*, 4> quartileTables();
    // Every record set, in the order they are opened.
    std::array<RecordSet*, 6> recordSets();

    Connection connection;
    // Where a server connection was named ("database= in /etc/lumaref.conf"), for its messages.
    std::string connectionOrigin;
    RecordSet journals;                  // journals, shown in the grid
    RecordSet impactFactors;             // jcr2018
    std::array<RecordSet, 4> quartiles;  // JCRQ1..JCRQ4
};

}  // namespace lumaref
