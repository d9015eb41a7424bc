#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"

namespace lumaref::test {

// What one run of lumaref-convert's command gave: its exit status and both streams.
struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

inline CommandRun runConvertCommand(const std::vector<std::string>& args, bool terminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runConvertInvocation(parseConvertArguments(args), out, err, terminal);
    return {status, out.str(), err.str()};
}

}  // namespace lumaref::test
