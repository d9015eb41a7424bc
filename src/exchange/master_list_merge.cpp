#include "exchange/master_list_merge.h"

#include "exchange/import_names.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

enum Field : std::uint8_t { kTitle, kIssn, kEIssn, kAddress, kCategory, kSubject };

// Kept under a match key that needs no flag from this list: a record it adds, or a stored journal
// already flagged.
constexpr std::int64_t kNothingToFlag = -1;

}  // namespace

void MasterListMerge::addStored(std::string_view issn, std::string_view eIssn, std::string_view category,
                                std::string_view subject, std::int64_t key) {
    const auto [value, isNew] =
        matches_.findOrAdd(issn, eIssn, category, subject, static_cast<std::int64_t>(storedKeys_.size()));
    if (value != nullptr && isNew) storedKeys_.push_back(key);
}

MasterListChanges MasterListMerge::decide(const MasterListCsv& list, std::string_view category,
                                          const std::array<FieldInfo, kMasterListFieldCount>& fields) {
    MasterListChanges changes;
    changes.counts.withoutIssn = list.rowsWithoutIssn;
    const std::string_view cutCategory = withinFieldSize(fields[kCategory], category);
    for (const MasterListRecord& record : list.records) {
        const MasterListRow values = {withinFieldSize(fields[kTitle], record.title),
                                      withinFieldSize(fields[kIssn], record.issn),
                                      withinFieldSize(fields[kEIssn], record.eIssn),
                                      withinFieldSize(fields[kAddress], record.address),
                                      cutCategory,
                                      withinFieldSize(fields[kSubject], record.subject)};
        const auto [value, isNew] = matches_.findOrAdd(values[kIssn], values[kEIssn], values[kCategory],
                                                       values[kSubject], kNothingToFlag);
        if (isNew) {
            changes.added.push_back(values);
            continue;
        }
        ++changes.counts.merged;
        if (*value != kNothingToFlag) {
            changes.flagged.push_back(storedKeys_[static_cast<std::size_t>(*value)]);
            *value = kNothingToFlag;
        }
    }
    changes.counts.added = static_cast<std::int64_t>(changes.added.size());
    return changes;
}

void checkMasterListNames(const MasterListCsv& list, std::string_view category) {
    checkImportName("category", category);
    for (const MasterListRecord& record : list.records) checkImportName("subject", record.subject);
}

}  // namespace lumaref
