#include "settings/store_choice.h"

#include <filesystem>

#include "db/connection_string.h"
#include "db/postgres_connection.h"
#include "text/error.h"

namespace lumaref {

StoreChoice chooseStore(const std::optional<std::string>& databaseArgument, const Settings& settings) {
    StoreChoice choice{kDefaultConnectionString, std::nullopt};
    if (const auto& database = databaseArgument ? databaseArgument : settings.database) {
        if (!isPostgresConnectionString(*database)) {
            throw Error(
                "The database '" + *database +
                "' is not a PostgreSQL connection: give a postgresql:// URI or libpq key=value pairs.");
        }
        if (namesPassword(*database)) {
            throw Error(
                "The database connection names a password. Lumaref does not take passwords from its settings "
                "or "
                "command line: put it in ~/.pgpass, PGPASSWORD or a PostgreSQL service file.");
        }
        choice.connectionString = *database;
    }
    if (settings.lists) {
        const std::filesystem::path folder = std::filesystem::path(*settings.lists).lexically_normal();
        const std::filesystem::path named = folder.has_filename() ? folder : folder.parent_path();
        if (named.filename() != "lists") {
            throw Error("The list folder '" + *settings.lists + "' must be a folder named lists.");
        }
        choice.listsParent = named.parent_path().string() + "/";
    }
    return choice;
}

}  // namespace lumaref
