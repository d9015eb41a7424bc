#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/master_list_csv.h"

namespace lumaref {

class RecordSet;

struct MasterListCsvCounts {
    std::int64_t added = 0;       // new journal records
    std::int64_t merged = 0;      // records already stored (same ISSN or E-ISSN, category, subject)
    std::size_t withoutIssn = 0;  // rows with neither an ISSN nor an eISSN
};

// Stores a CSV master list through the journal record set, each record its own post (a crash keeps
// every record already posted). A record whose match key a stored journal shares sets that journal's
// index field (`indexField`, empty for none) instead of adding another. Category and every subject
// are checked (checkImportNames) before anything is stored.
//
// A merge needs the stored journal as the current row, so filtering is switched off for it and back
// on at the end; the filter text is never changed. An error ends the run at once, as the text import.
MasterListCsvCounts importMasterListCsv(const MasterListCsv& list, RecordSet& journals,
                                        std::string_view category, std::string_view indexField);

}  // namespace lumaref
