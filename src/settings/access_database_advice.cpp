#include "settings/access_database_advice.h"

#include <filesystem>

#include "db/connection.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

// A word for a POSIX shell: single quotes, each inner quote written '\''. Always quoted, so the text
// ends in a quote and the full stop an error box adds never lands inside a path.
std::string shellWord(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The converter as the user can run it: beside this program when it is there, else from the PATH.
std::string converterCommand() {
    const std::string folder = runningProgramFolder();
    std::error_code ec;
    const fs::path beside = fs::path(folder) / "lumaref-convert";
    if (!folder.empty() && fs::is_regular_file(beside, ec)) return shellWord(beside.string());
    return "lumaref-convert";
}

}  // namespace

std::string runningProgramFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : program.parent_path().string();
}

std::string accessDatabaseAdvice(const AccessDatabaseError& error) {
    const fs::path path = error.path();
    fs::path aside = path;
    aside.replace_filename(path.stem().string() + "-access" + path.extension().string());
    return "The file '" + path.string() +
           "' is a Microsoft Access database. Lumaref reads SQLite 3 databases; bring it across with "
           "lumaref-convert:\n    mv -i " +
           shellWord(path.string()) + " " + shellWord(aside.string()) + " && " + converterCommand() + " " +
           shellWord(aside.string()) + " " + shellWord(path.string());
}

}  // namespace lumaref
