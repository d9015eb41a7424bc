#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

struct MasterListLoadRequest {
    std::string csvPath;
    std::string databasePath;
    std::string category;
    // The journals field of the citation index (empty: none); nullopt takes it from the file name.
    std::optional<std::string> indexField;
};

struct MasterListLoadReport {
    std::size_t rows = 0;
    std::size_t added = 0;
    std::size_t merged = 0;
    std::size_t withoutIssn = 0;
    std::string indexField;                      // empty: no flag set
    std::vector<std::size_t> literalQuoteLines;  // a quote inside an unquoted field, read as a character
};

// Loads a CSV master list into the journals table in one transaction, with the window's rules: one
// record per Web of Science category, a journal already stored (same ISSN, or E-ISSN without one,
// category and subject) getting the index flag instead of a twin. Throws Error when the file name
// names no index and none is given, or for any fault of the file; the database is then unchanged.
MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request);

std::string masterListLoadSummary(const MasterListLoadReport& report, double seconds);

}  // namespace lumaref
