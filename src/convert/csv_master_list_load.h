#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/schema_names.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_matches.h"
#include "text/field.h"

namespace lumaref {

class PgConnection;

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

// The journals fields a record fills, in the order of a written row.
inline constexpr std::size_t kMasterListFieldCount = 6;
inline constexpr std::array<std::string_view, kMasterListFieldCount> kMasterListFields = {
    kTitleField, kIssnField, kEIssnField, kAddressField, kCategoryField, kSubjectField};
// One record's values in that order, already cut to their fields' sizes; "" stands for null.
using MasterListRow = std::array<std::string_view, kMasterListFieldCount>;

// A master list read and its names checked, with the flag it sets; nothing written yet.
struct MasterListToLoad {
    MasterListLoadReport report;  // everything but `added` and `merged`
    std::string category;
    MasterListCsv list;
};

// Reads the file of the request. Throws Error when the file name names no index and none is given,
// for any fault of the file, and for a category or subject that cannot name a list file.
MasterListToLoad readMasterListToLoad(const MasterListLoadRequest& request);

// What a load writes: the records to add, and the keys of stored journals that get the flag.
struct MasterListChanges {
    std::vector<MasterListRow> added;  // views into the list read, valid while it lives
    std::vector<std::int64_t> flagged;
};

// The one set of rules every store's load follows. A record is the journal already stored (or added
// earlier in the same file) when it has the same ISSN, or E-ISSN without one, in any ASCII letter
// case, with the same category and subject, as masterListMatchKey says; values are cut to their
// fields' sizes first, as the record set cuts a value it is given, so the key is the one a later load
// reads back.
class MasterListMerge {
public:
    // A journal the store holds, under its key there.
    void addStored(std::string_view issn, std::string_view eIssn, std::string_view category,
                   std::string_view subject, std::int64_t key);
    // Decides every record in file order and counts them into `load.report`; `fields` in the order
    // of kMasterListFields. Each stored journal is flagged once.
    MasterListChanges decide(MasterListToLoad& load,
                             const std::array<FieldInfo, kMasterListFieldCount>& fields);

private:
    MasterListCsvMatches matches_;
    std::vector<std::int64_t> storedKeys_;  // the value kept under a stored journal's match key indexes this
};

// Loads a CSV master list into the journals table in one transaction, with the window's rules: one
// record per Web of Science category, a journal already stored (same ISSN, or E-ISSN without one,
// category and subject) getting the index flag instead of a twin. Throws Error when the file name
// names no index and none is given, or for any fault of the file; the database is then unchanged.
MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request);

// The same onto a server (request.databasePath unused): the stored journals' keys read by one SELECT,
// the new records written by COPY ... FROM STDIN and the flags set by one UPDATE, in one transaction.
MasterListLoadReport loadMasterListIntoDatabase(const MasterListLoadRequest& request, PgConnection& target);

std::string masterListLoadSummary(const MasterListLoadReport& report, double seconds);

}  // namespace lumaref
