#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/import_line_classifier.h"
#include "exchange/line_source.h"

namespace lumaref {

class RecordSet;

// Imports every line of a master list into the journal record set: refuses a category or subject
// that checkImportNames refuses before reading any line, clears the classifier's flags, then
// per line a title appends a record stamped with category and subject and counts it, and every other
// recognised line sets its field of the record being filled; after the last line that record is posted.
// Returns the number of title lines.
//
// An error (a field line with no record being filled, a record the database refuses) ends the run at
// once: records posted before stay stored, the one being filled is cancelled (so a retry gives each
// entry once), the flags keep their values. Neither the cursor (no First or Next) nor the filter is touched.
std::int64_t importMasterList(LineSource& lines, RecordSet& journals, ImportLineClassifier& classifier,
                              std::string_view category, std::string_view subject);

}  // namespace lumaref
