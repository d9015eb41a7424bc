#include "settings/store_choice.h"

#include <filesystem>

#include "db/connection_string.h"
#include "db/postgres_connection.h"
#include "text/error.h"

namespace lumaref {

std::optional<std::string> databaseArgument(const std::vector<std::string>& arguments) {
    constexpr std::string_view kOption = "--database";
    std::optional<std::string> database;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == kOption) {
            if (i + 1 == arguments.size()) throw Error("--database needs a PostgreSQL connection.");
            database = arguments[++i];
        } else if (argument.starts_with(kOption) && argument[kOption.size()] == '=') {
            database = std::string(argument.substr(kOption.size() + 1));
        }
    }
    return database;
}

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
