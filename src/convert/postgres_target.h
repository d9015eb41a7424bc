#pragma once

#include <iosfwd>

#include "convert/convert_arguments.h"

namespace lumaref {

// True when the invocation's target is a PostgreSQL database rather than an SQLite file.
bool hasPostgresTarget(const ConvertInvocation& invocation);

// lumaref-convert onto a PostgreSQL server: --new creates the tables of schema.sql, a SOURCE (Access or
// SQLite) is carried across table by table, --csv loads a ranking table, --jcr the ranking export,
// --master-list a master-list download into the journals; each in one transaction. --readers and --admins are
// granted their rights on the tables made. Returns the exit code; the summary goes to `out` unless quiet,
// failures to `err`.
int runPostgresTarget(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err);

}  // namespace lumaref
