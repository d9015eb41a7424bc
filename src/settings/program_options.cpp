#include "settings/program_options.h"

#include "text/error.h"

namespace lumaref {

ProgramOptions parseProgramArguments(const std::vector<std::string>& arguments) {
    ProgramOptions options;
    bool help = false;
    bool version = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (argument == "--data" || argument.starts_with("--data=")) {
            const bool joined = argument != "--data";
            if (!joined && i + 1 >= arguments.size()) throw Error("'--data' needs a folder");
            std::string folder = joined ? argument.substr(7) : arguments[++i];
            if (folder.empty()) throw Error("'--data' needs a folder");
            if (options.dataFolder) throw Error("'--data' is given twice");
            options.dataFolder = std::move(folder);
        } else {
            options.toolkitArguments.push_back(argument);
        }
    }
    if (help) {
        options.mode = ProgramOptions::Mode::Help;
    } else if (version) {
        options.mode = ProgramOptions::Mode::Version;
    }
    return options;
}

std::string programUsage() {
    return "Usage: lumaref [--data DIR]\n"
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
           "  --data DIR  the data folder\n"
           "  --help      this text\n"
           "  --version   the version\n";
}

}  // namespace lumaref
