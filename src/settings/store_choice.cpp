#include "settings/store_choice.h"

#include <filesystem>

#include "db/connection_string.h"
#include "db/postgres_connection.h"
#include "text/error.h"

namespace lumaref {

StoreChoice chooseStore(const std::optional<std::string>& databaseArgument, const Settings& settings) {
    StoreChoice choice{kDefaultConnectionString, std::nullopt, {}};
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
        choice.origin = databaseArgument                  ? "--database"
                        : settings.databaseSource.empty() ? "database= in the settings"
                                                          : "database= in " + settings.databaseSource;
    }
    if (settings.lists) {
        std::string folder = std::filesystem::path(*settings.lists).lexically_normal().string();
        if (folder.empty() || folder.back() != '/') folder += '/';
        choice.listFolder = std::move(folder);
    }
    return choice;
}

}  // namespace lumaref
