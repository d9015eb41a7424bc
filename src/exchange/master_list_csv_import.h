#pragma once

#include <string_view>

#include "exchange/master_list_csv.h"
#include "exchange/master_list_merge.h"

namespace lumaref {

class RecordSet;

// Stores a CSV master list through the journal record set, each record its own post (a crash keeps
// every record already posted), as MasterListMerge decides: a stored journal whose match key a record
// shares gets the index field (`indexField`, empty for none) set once, instead of another record.
// Category and every subject are checked (checkMasterListNames) before anything is stored.
//
// A merge needs the stored journal as the current row, so filtering is switched off for it and back
// on at the end; the filter text is never changed. An error ends the run at once, as the text import.
MasterListCsvCounts importMasterListCsv(const MasterListCsv& list, RecordSet& journals,
                                        std::string_view category, std::string_view indexField);

}  // namespace lumaref
