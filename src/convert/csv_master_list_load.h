#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "exchange/index_flags.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_merge.h"

namespace lumaref {

class PgConnection;

struct MasterListLoadRequest {
    std::string csvPath;
    std::string databasePath;
    std::string category;
    // The journals field of the citation index (empty: none); nullopt takes it from the file name.
    std::optional<std::string> indexField;
    // Clear the flag of the category's journals that carry it but are not in the download.
    bool replaceIndex = false;
};

struct MasterListLoadReport {
    std::size_t rows = 0;
    std::size_t added = 0;
    std::size_t merged = 0;
    std::size_t withoutIssn = 0;
    std::string indexField;                      // empty: no flag set
    std::size_t flaggedNotListed = 0;            // journals of the category with the flag, not in the file
    std::size_t flagsCleared = 0;                // of those, the flags cleared (--replace-index)
    std::vector<std::size_t> literalQuoteLines;  // a quote inside an unquoted field, read as a character
};

// A master list read and its names checked, with the flag it sets; nothing written yet.
struct MasterListToLoad {
    MasterListLoadReport report;  // everything but `added` and `merged`
    std::string category;
    MasterListCsv list;
};

// Reads the file of the request. Throws Error when the file name names no index and none is given,
// for any fault of the file, and for a category or subject that cannot name a list file.
MasterListToLoad readMasterListToLoad(const MasterListLoadRequest& request);

// What the load changes, as MasterListMerge decides over the stored journals given to `merge`,
// counted into `load.report`; `fields` in the order of kMasterListFields.
MasterListChanges decideMasterListLoad(MasterListMerge& merge, MasterListToLoad& load,
                                       const std::array<FieldInfo, kMasterListFieldCount>& fields);

// Loads a CSV master list into the journals table in one transaction, with the window's rules: one
// record per Web of Science category, a journal already stored (same ISSN, or E-ISSN without one,
// category and subject) getting the index flag instead of a twin. Journals of the category that carried
// the flag before and are not in the download are counted, and their flag cleared when the request says
// so (IndexListing). Throws Error when the file name names no index and none is given, or for any fault
// of the file; the database is then unchanged.
MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request);

// The same onto a server (request.databasePath unused): the stored journals' keys read by one SELECT,
// the new records written by COPY ... FROM STDIN and the flags set (and cleared) by one UPDATE each, in
// one transaction.
MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request, PgConnection& target);

std::string masterListLoadSummary(const MasterListLoadReport& report, double seconds);

}  // namespace lumaref
