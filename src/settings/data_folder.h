#pragma once

#include <optional>
#include <string>

#include "settings/settings_file.h"

namespace lumaref {

// Where the database and the list files are.
struct DataLocation {
    std::string database;    // Database.mdb
    std::string listFolder;  // the folder of the list files, ending in '/'
};

// Portable layout: lists/ beside the program, Database.mdb in the current folder, as it always was.
bool isPortableLayout(const std::string& programDir);
DataLocation portableLocation(const std::string& programDir);

// Installed layout: the data folder named on the command line, else data= in the settings, else
// $XDG_DATA_HOME/lumaref (~/.local/share/lumaref). Made absolute from the current folder. Throws
// Error when no folder can be named (neither HOME nor XDG_DATA_HOME is set).
std::string chooseDataFolder(const std::optional<std::string>& fromCommandLine, const Settings& settings);
DataLocation dataFolderLocation(const std::string& folder);

// The folder itself, created with its parents if missing and checked to be usable (read, write,
// enter). Throws Error naming the folder.
void makeDataFolder(const std::string& folder);

// Everything a first start needs and nothing that exists is touched: the folder, lists/ and
// lists/subjects/, empty list files, and an empty database of the compiled-in tables. Throws Error
// naming the folder or file that cannot be made or used.
void prepareDataFolder(const std::string& folder);

// A connection string that opens the database at `path`, whatever characters the path holds.
std::string connectionStringFor(const std::string& path);

}  // namespace lumaref
