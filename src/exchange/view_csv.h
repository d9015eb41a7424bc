#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/view_export.h"
#include "text/staged_file.h"

namespace lumaref {

// Copies `value` to `to` (room for its bytes) and tells whether it is quoted in CSV: it holds a quote, a
// comma, CR or LF.
bool copyTellingCsvQuotes(std::string_view value, char* to);

// Writes the rows the record set shows, in their order, as CSV under a header line of the captions:
// UTF-8 after a byte-order mark (so spreadsheets read it as UTF-8), fields separated by commas, every
// line ended by CR LF, and a field quoted, its quotes doubled, when it holds a quote, a comma, CR or LF
// (RFC 4180); nothing else is changed. Replaces the file at path atomically, the previous file kept
// whole on any failure (see throwViewExportError for the errors). The cursor does not move.
void exportViewCsv(const RecordSet& rows, const std::vector<ViewColumn>& columns, const std::string& path,
                   const FileSink& sink = systemFileSink());

}  // namespace lumaref
