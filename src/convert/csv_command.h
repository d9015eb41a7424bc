#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "convert/convert_arguments.h"
#include "convert/csv_table_load.h"

namespace lumaref {

class PgConnection;

// The modes of lumaref-convert that start and refresh a database without Access, returning the exit
// code. Progress goes to `out` only when `terminal`, the summary to `out` unless quiet; failures
// and warnings about the data go to `err`.
int runNewDatabase(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err);
int runCsvLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err, bool terminal);

// A master-list download into the journals table, and a ranking file (--jcr, --sjr, --doaj, --list) into
// the figures (a JCR export also into jcr2018 and JCRQ1..JCRQ4); of `server` when given, else of the
// target file.
int runMasterListLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                      PgConnection* server = nullptr);
int runRankingLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                   PgConnection* server = nullptr);

// What a finished load says: rows loaded, lines skipped, seconds, and the columns left out.
std::string csvLoadSummary(const CsvLoadReport& report, double seconds);
// Rows that the ranking updates will never match; empty when there are none.
std::string csvLoadWarnings(const CsvLoadReport& report);

}  // namespace lumaref
