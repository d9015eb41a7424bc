#include "settings/settings_file.h"

#include <cerrno>
#include <cstdlib>

#include "settings/access_code.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/file_error.h"
#include "text/text_file.h"

namespace lumaref {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// $<variable>/lumaref/, by default ~/<fallback>/lumaref/; empty when neither is set.
std::string userFolder(const char* variable, const char* fallback) {
    std::string base = environment(variable);
    // XDG base directories must be absolute: a relative one is ignored.
    if (base.empty() || base.front() != '/') {
        const std::string home = environment("HOME");
        base = home.empty() ? std::string() : home + "/" + fallback;
    }
    return base.empty() ? std::string() : base + "/lumaref/";
}

std::string userConfigFolder() { return userFolder("XDG_CONFIG_HOME", ".config"); }

}  // namespace

SettingsFiles defaultSettingsFiles() {
    const std::string folder = userConfigFolder();
    return {folder.empty() ? std::string() : folder + "lumaref.conf", "/etc/lumaref.conf"};
}

std::string layoutFilePath() {
    const std::string folder = userConfigFolder();
    return folder.empty() ? std::string() : folder + "layout.conf";
}

std::string savedOrdersFolder() {
    const std::string folder = userFolder("XDG_CACHE_HOME", ".cache");
    return folder.empty() ? std::string() : folder + "orders/";
}

Settings parseSettings(std::string_view text, const std::string& fileName) {
    Settings settings;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const auto fail = [&](std::string_view why) {
            throw Error("The settings file '" + fileName + "', line " + std::to_string(lineNumber) + ": " +
                        std::string(why));
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) fail("expected key=value");
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string value(trimmed(line.substr(equals + 1)));
        std::optional<std::string>* slot = key == "data"          ? &settings.data
                                           : key == "database"    ? &settings.database
                                           : key == "lists"       ? &settings.lists
                                           : key == "access-code" ? &settings.accessCode
                                                                  : nullptr;
        if (slot == nullptr) continue;
        if (slot->has_value()) fail("'" + std::string(key) + "' is given twice");
        if (value.empty()) fail("'" + std::string(key) + "' has no value");
        if (slot == &settings.accessCode)
            checkAccessCodeHash(value,
                                "The settings file '" + fileName + "', line " + std::to_string(lineNumber));
        if (slot == &settings.database) settings.databaseSource = fileName;
        *slot = value;
    }
    return settings;
}

Settings readSettingsFile(const std::string& path) {
    if (path.empty()) return {};
    std::string text;
    try {
        if (const int failure = readTextFileOrErrno(path, text); failure != 0) {
            if (failure == ENOENT || failure == ENOTDIR) return {};
            throw Error("Cannot read the settings file '" + path + "': " + systemReason(failure) + ".");
        }
    } catch (const NotTextError& notText) {
        throw Error("The settings file '" + path + "' is not a text file: " + notText.what() + ".");
    }
    return parseSettings(text, path);
}

Settings loadSettings(const SettingsFiles& files) {
    Settings user = readSettingsFile(files.user);
    const Settings system = readSettingsFile(files.system);
    if (!user.data) user.data = system.data;
    if (!user.database) {
        user.database = system.database;
        user.databaseSource = system.databaseSource;
    }
    if (!user.lists) user.lists = system.lists;
    user.accessCode = system.accessCode;
    return user;
}

}  // namespace lumaref
