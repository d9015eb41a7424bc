#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace lumaref {

// What the window opens: the connection (Database.mdb in the current directory, or a PostgreSQL
// database) and, when the settings name one, the folder that holds the list folder.
struct StoreChoice {
    std::string connectionString;
    std::optional<std::string> listsParent;
};

// The value of --database among the program's arguments ("--database VALUE" or "--database=VALUE").
// Throws Error when the option has no value.
std::optional<std::string> databaseArgument(const std::vector<std::string>& arguments);

// --database over database= in the settings; with neither, Database.mdb as always. A database must be a
// PostgreSQL connection (a postgresql:// URI or libpq key=value pairs) without a password: libpq
// finds that itself in ~/.pgpass, PGPASSWORD or a service file. lists= names the list folder, which
// keeps its name lists/. Throws Error naming what is wrong.
StoreChoice chooseStore(const std::optional<std::string>& databaseArgument, const Settings& settings);

}  // namespace lumaref
