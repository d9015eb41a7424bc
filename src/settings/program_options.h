#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumaref {

// What one start of lumaref is asked to do. A new option adds a field, a branch in
// parseProgramArguments() and a line in programUsage().
struct ProgramOptions {
    enum class Mode { Run, Help, Version, HashCode };

    Mode mode = Mode::Run;
    std::optional<std::string> dataFolder;  // --data DIR
    std::optional<std::string> database;    // --database CONNECTION (a PostgreSQL server)
    // Arguments that are not ours, in order, for the toolkit (-platform offscreen, -style fusion);
    // whatever it does not take is an unknown option.
    std::vector<std::string> toolkitArguments;
};

// arguments: argv[1..]. --help and --version win over everything else, then --hash-code (which
// prints a salted hash of the access code it reads, for /etc/lumaref.conf). Throws Error, in words for
// the user, for an option of ours without its value or given twice.
ProgramOptions parseProgramArguments(const std::vector<std::string>& arguments);

std::string programUsage();

}  // namespace lumaref
