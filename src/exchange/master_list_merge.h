#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "db/schema_names.h"
#include "exchange/master_list_csv.h"
#include "exchange/master_list_csv_matches.h"
#include "text/field.h"

namespace lumaref {

// The journals fields a master-list record fills, in the order of a written row.
inline constexpr std::size_t kMasterListFieldCount = 6;
inline constexpr std::array<std::string_view, kMasterListFieldCount> kMasterListFields = {
    kTitleField, kIssnField, kEIssnField, kAddressField, kCategoryField, kSubjectField};
// One record's values in that order, already cut to their fields' sizes; "" stands for none.
using MasterListRow = std::array<std::string_view, kMasterListFieldCount>;

struct MasterListCsvCounts {
    std::int64_t added = 0;       // new journal records
    std::int64_t merged = 0;      // records already stored, or added earlier from the same file
    std::size_t withoutIssn = 0;  // rows with neither an ISSN nor an eISSN
};

// What a master list changes in a store, whichever store it is.
struct MasterListChanges {
    std::vector<MasterListRow> added;   // in file order; views into the list and category decided
    std::vector<std::int64_t> flagged;  // keys of stored journals that get the index flag, each once
    MasterListCsvCounts counts;
};

// The one rule by which the window's import and every store's load merge a master list. A record is
// the journal already stored (or added earlier from the same file) when it has the same ISSN, or
// E-ISSN without one, in any ASCII letter case, with the same category and subject, as
// masterListMatchKey says; values are cut to their fields' sizes first, as the record set cuts a value
// it is given, so the key is the one a later load reads back.
class MasterListMerge {
public:
    // A journal the store holds, under its key there (a row, a rowid). Of two with one match key, the
    // first is the one merged into.
    void addStored(std::string_view issn, std::string_view eIssn, std::string_view category,
                   std::string_view subject, std::int64_t key);
    // Decides every record in file order; `fields` in the order of kMasterListFields.
    MasterListChanges decide(const MasterListCsv& list, std::string_view category,
                             const std::array<FieldInfo, kMasterListFieldCount>& fields);

private:
    MasterListCsvMatches matches_;
    std::vector<std::int64_t> storedKeys_;  // the value kept under a stored journal's match key indexes this
};

// Refuses a category or subject that cannot name a list file (checkImportName), before anything is stored.
void checkMasterListNames(const MasterListCsv& list, std::string_view category);

}  // namespace lumaref
