#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "exchange/master_list_csv.h"

namespace lumaref {

class RecordSet;

// A whole citation index's download lists every journal the index holds: a journal of the category that
// carries the index's flag but is not in the download has left the index (moved from Emerging Sources to
// SCIE, say) and keeps the flag only until someone clears it. The window asks, the tool clears on
// --replace-index; both count first.
class IndexListing {
public:
    // `category` as stored: cut to the field's size as the load stores it. `list` must outlive it.
    IndexListing(const MasterListCsv& list, std::string_view category);

    // Whether a journal as stored before the load has left the index: of the download's category, with
    // the flag, and neither its ISSN nor its E-ISSN among the download's numbers, in any form (hyphen or
    // not, x or X). A journal with neither number cannot be told and never counts.
    bool hasLeft(std::string_view category, bool flagged, std::string_view issn, std::string_view eIssn);

private:
    const MasterListCsv& list_;
    std::string category_;
    // The download's numbers, gathered the first time a journal is asked about: a load into a category
    // without flagged journals never needs them.
    std::unordered_set<std::string> numbers_;
    bool gathered_ = false;
};

// The window's side: the journals' snapshot rows (from 0) that have left the index, once `list` was
// imported under `category` with `indexField` as its flag.
std::vector<std::int64_t> journalsThatLeftIndex(const MasterListCsv& list, const RecordSet& journals,
                                                std::string_view category, std::string_view indexField);
// Clears `indexField` of those rows, each its own post, as the import sets flags: filtering is off
// meanwhile and back on at the end, the filter text never changed.
void clearIndexFlags(RecordSet& journals, const std::vector<std::int64_t>& rows, std::string_view indexField);

}  // namespace lumaref
