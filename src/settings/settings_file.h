#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaref {

// What a settings file may say. Each is absent unless a file names it.
struct Settings {
    std::optional<std::string> data;      // the data folder: Database.mdb and lists/
    std::optional<std::string> database;  // a PostgreSQL connection (URI or key=value), instead of SQLite
    std::optional<std::string> lists;     // a list folder of its own, e.g. a shared one
    // The administrator access code as a salted hash (access_code.h); read from the system's file only.
    std::optional<std::string> accessCode;
    // Where database= was read: the file's path, for messages that say where the server is set.
    std::string databaseSource;
};

// The files read, the user's first: a key it names wins over the site-wide one.
struct SettingsFiles {
    std::string user;    // $XDG_CONFIG_HOME/lumaref/lumaref.conf, by default ~/.config/lumaref/lumaref.conf
    std::string system;  // /etc/lumaref.conf
};
SettingsFiles defaultSettingsFiles();

// The file the window remembers its layout in (window place, columns, sort), beside the user's settings:
// $XDG_CONFIG_HOME/lumaref/layout.conf, by default ~/.config/lumaref/layout.conf. The program alone
// writes it; the settings people edit by hand stay theirs. Empty when neither variable is set.
std::string layoutFilePath();

// The folder the orders of sorted columns are kept in between sessions (see SavedOrders):
// $XDG_CACHE_HOME/lumaref/orders/, by default ~/.cache/lumaref/orders/. Empty when neither is set.
std::string savedOrdersFolder();

// "key=value" lines; blanks around both are ignored, as are empty lines and lines starting with "#" or
// ";". Unknown keys are ignored so that a newer file still reads. Throws Error naming the file and
// line for a line that is not of that form, or a key given twice.
Settings parseSettings(std::string_view text, const std::string& fileName);

// A missing file says nothing. Throws Error naming the file when it cannot be read.
Settings readSettingsFile(const std::string& path);

// The user's file over the system's, key by key; access-code= is the system's alone.
Settings loadSettings(const SettingsFiles& files = defaultSettingsFiles());

}  // namespace lumaref
