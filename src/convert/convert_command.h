#pragma once

#include <iosfwd>

#include "convert/convert_arguments.h"

namespace lumaref {

// Runs one parsed invocation of lumaref-convert and returns the process's exit code.
// Progress goes to `out` only when `terminal` (a table's rows done of rows, redrawn in place);
// the summary goes to `out` unless quiet; failures go to `err` as one line each. A stop request
// (stop_request.h) ends any of them as a failure that leaves nothing behind.
int runConvertInvocation(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                         bool terminal);

}  // namespace lumaref
