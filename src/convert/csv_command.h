#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "convert/csv_table_load.h"

namespace lumaref {

// The command-line modes that start and refresh a database without Access. `args` are the words
// after the program's name; the return value is the exit status. Results go to `out`, progress,
// warnings and errors to `err`; progress only when `err` is a terminal.
int runNewDatabaseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runCsvLoadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool errIsTerminal);

inline constexpr const char* kCsvCommandUsage =
    "  lumaref-convert --new TARGET [--force]\n"
    "  lumaref-convert --csv FILE --table NAME [--append] [--quiet] TARGET\n";

// What a finished load says: rows loaded, lines skipped, seconds, and the columns left out.
std::string csvLoadSummary(const CsvLoadReport& report, double seconds);
// Rows that the ranking updates will never match; empty when there are none.
std::string csvLoadWarnings(const CsvLoadReport& report);

}  // namespace lumaref
