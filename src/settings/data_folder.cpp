#include "settings/data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "db/new_database.h"
#include "picklists/list_file.h"
#include "text/error.h"
#include "text/file_error.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

[[noreturn]] void folderError(std::string_view what, const std::string& folder, int errnoValue) {
    throw Error(std::string(what) + " '" + folder + "': " + systemReason(errnoValue) + ".");
}

// Test first, then ask: a file of the user's that exists is never replaced.
void createEmptyListFile(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) writeListFile(path, {});
}

}  // namespace

bool isPortableLayout(const std::string& programDir) {
    std::error_code ec;
    return fs::is_directory(withSlash(programDir) + "lists", ec);
}

DataLocation portableLocation(const std::string& programDir) {
    return {"Database.mdb", withSlash(programDir) + "lists/"};
}

std::string chooseDataFolder(const std::optional<std::string>& fromCommandLine, const Settings& settings) {
    if (fromCommandLine) return absolute(*fromCommandLine);
    if (settings.data) return absolute(*settings.data);
    std::string base = environment("XDG_DATA_HOME");
    // XDG base directories must be absolute: a relative XDG_DATA_HOME is ignored.
    if (base.empty() || base.front() != '/') {
        const std::string home = environment("HOME");
        if (home.empty()) throw Error("No data folder can be named: neither HOME nor XDG_DATA_HOME is set.");
        base = home + "/.local/share";
    }
    return absolute(base + "/lumaref");
}

DataLocation dataFolderLocation(const std::string& folder) {
    return {withSlash(folder) + "Database.mdb", withSlash(folder) + "lists/"};
}

void makeDataFolder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) folderError("Cannot create the data folder", folder, ec.value());
    if (!fs::is_directory(folder, ec)) folderError("Cannot create the data folder", folder, ENOTDIR);
    if (::access(folder.c_str(), R_OK | W_OK | X_OK) != 0)
        folderError("Cannot use the data folder", folder, errno);
}

void prepareDataFolder(const std::string& folder) {
    makeDataFolder(folder);
    const DataLocation location = dataFolderLocation(folder);
    std::error_code ec;
    fs::create_directories(location.listFolder + "subjects", ec);
    if (ec) folderError("Cannot create the list folder", location.listFolder + "subjects", ec.value());
    createEmptyListFile(categoriesListPath(location.listFolder));
    createEmptyListFile(frequenciesListPath(location.listFolder));
    if (fs::exists(location.database, ec)) {
        if (::access(location.database.c_str(), R_OK | W_OK) != 0) {
            folderError("Cannot use the database", location.database, errno);
        }
        return;
    }
    createNewDatabase(location.database, false);
}

std::string connectionStringFor(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + quoted + "\";Persist Security Info=False;";
}

}  // namespace lumaref
