#include "convert/convert_arguments.h"

namespace lumaref {

namespace {

bool isOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

ConvertInvocation parseConvertArguments(const std::vector<std::string>& arguments) {
    ConvertInvocation invocation;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || !isOption(argument)) {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;  // a file name that starts with "-" follows
        } else if (argument == "--force") {
            invocation.force = true;
        } else if (argument == "--quiet") {
            invocation.quiet = true;
        } else if (argument == "--help" || argument == "-h") {
            return ConvertInvocation{};
        } else {
            throw UsageError("unknown option '" + argument + "'");
        }
    }

    if (positional.size() != 2) {
        throw UsageError(positional.size() < 2 ? "expected a source Access file and a target database"
                                               : "too many arguments");
    }
    invocation.mode = ConvertInvocation::Mode::ConvertAccess;
    invocation.source = positional[0];
    invocation.target = positional[1];
    if (invocation.source.empty() || invocation.target.empty()) throw UsageError("a file name is empty");
    return invocation;
}

std::string convertUsage(const std::string& program) {
    return "Usage: " + program +
           " SOURCE.mdb TARGET [--force] [--quiet]\n"
           "\n"
           "Copies every table of an Access database (Jet 3, Jet 4 or ACE) into a new SQLite database\n"
           "that Lumaref opens. The source is only read. TARGET is written only when every table\n"
           "converted.\n"
           "\n"
           "  --force   replace TARGET if it exists\n"
           "  --quiet   no progress and no summary\n";
}

}  // namespace lumaref
