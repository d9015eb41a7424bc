#pragma once

#include <optional>
#include <string>

#include "settings/settings_file.h"

namespace lumaref {

// What the window opens: the connection (Database.mdb in the current directory, or a PostgreSQL
// database) and, when the settings name one, the list folder.
struct StoreChoice {
    std::string connectionString;
    std::optional<std::string> listFolder;  // ending in '/'
    // Where a server connection was named, for messages: "--database", or "database= in <file>".
    std::string origin;
};

// --database over database= in the settings; with neither, Database.mdb as always. A database must be a
// PostgreSQL connection (a postgresql:// URI or libpq key=value pairs) without a password: libpq
// finds that itself in ~/.pgpass, PGPASSWORD or a service file. lists= names the list folder, whatever
// its name. Throws Error naming what is wrong.
StoreChoice chooseStore(const std::optional<std::string>& databaseArgument, const Settings& settings);

}  // namespace lumaref
