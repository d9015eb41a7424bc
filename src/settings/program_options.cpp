#include "settings/program_options.h"

#include "text/error.h"

namespace lumaref {

namespace {

// "--name VALUE" or "--name=VALUE" at arguments[i] (i moves past a separate value): the value, or
// nothing when the argument is another one. Throws Error for a missing or repeated value.
std::optional<std::string> valueOption(const std::vector<std::string>& arguments, std::size_t& i,
                                       const std::string& name, const char* what,
                                       const std::optional<std::string>& earlier) {
    const std::string& argument = arguments[i];
    const bool joined = argument.starts_with(name + "=");
    if (argument != name && !joined) return std::nullopt;
    if (!joined && i + 1 >= arguments.size()) throw Error("'" + name + "' needs " + what);
    std::string value = joined ? argument.substr(name.size() + 1) : arguments[++i];
    if (value.empty()) throw Error("'" + name + "' needs " + what);
    if (earlier) throw Error("'" + name + "' is given twice");
    return value;
}

}  // namespace

ProgramOptions parseProgramArguments(const std::vector<std::string>& arguments) {
    ProgramOptions options;
    bool help = false;
    bool version = false;
    bool hashCode = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (argument == "--hash-code") {
            hashCode = true;
        } else if (auto folder = valueOption(arguments, i, "--data", "a folder", options.dataFolder)) {
            options.dataFolder = std::move(folder);
        } else if (auto database =
                       valueOption(arguments, i, "--database", "a PostgreSQL connection", options.database)) {
            options.database = std::move(database);
        } else {
            options.toolkitArguments.push_back(argument);
        }
    }
    if (help) {
        options.mode = ProgramOptions::Mode::Help;
    } else if (version) {
        options.mode = ProgramOptions::Mode::Version;
    } else if (hashCode) {
        options.mode = ProgramOptions::Mode::HashCode;
    }
    return options;
}

std::string programUsage() {
    return "Usage: lumaref [--data DIR] [--database CONNECTION]\n"
           "       lumaref --hash-code\n"
           "       lumaref --help | --version\n"
           "\n"
           "Browses and maintains a list of scholarly journals.\n"
           "\n"
           "With a lists/ folder beside the program, Database.mdb is read from the current folder and the\n"
           "list files from beside the program. Otherwise one data folder holds Database.mdb and lists/:\n"
           "DIR, else data= in ~/.config/lumaref/lumaref.conf, else data= in /etc/lumaref.conf, else\n"
           "$XDG_DATA_HOME/lumaref (~/.local/share/lumaref). The first start creates it, with an empty\n"
           "database and empty list files.\n"
           "\n"
           "database=postgresql://... in the same settings, or --database, opens a PostgreSQL database\n"
           "instead (passwords come from ~/.pgpass, PGPASSWORD or a service file); lists= there names the\n"
           "list folder.\n"
           "\n"
           "The administrator access code is set for every user by access-code= in /etc/lumaref.conf, as\n"
           "the salted hash that --hash-code prints for a code it reads.\n"
           "\n"
           "  --data DIR             the data folder\n"
           "  --database CONNECTION  a PostgreSQL database: a postgresql:// URI or libpq key=value pairs\n"
           "  --hash-code            read an access code, print its access-code= line\n"
           "  --help                 this text\n"
           "  --version              the version\n";
}

}  // namespace lumaref
