#include "exchange/master_list_csv_import.h"

#include <array>
#include <cstdint>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "text/stopped.h"

namespace lumaref {

namespace {

constexpr std::string_view kTrue = "true";

std::array<int, kMasterListFieldCount> fieldIndexes(const RecordSet& journals) {
    std::array<int, kMasterListFieldCount> indexes{};
    for (std::size_t i = 0; i < kMasterListFieldCount; ++i)
        indexes[i] = journals.fieldIndex(kMasterListFields[i]);
    return indexes;
}

// Every stored journal under its snapshot row.
MasterListMerge storedJournals(const RecordSet& journals) {
    const Table& table = journals.snapshot();
    const auto column = [&](std::string_view name) -> const Column& {
        return table.columns[static_cast<std::size_t>(journals.fieldIndex(name))];
    };
    const Column& issn = column(kIssnField);
    const Column& eIssn = column(kEIssnField);
    const Column& category = column(kCategoryField);
    const Column& subject = column(kSubjectField);
    MasterListMerge merge;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        merge.addStored(issn.text(row), eIssn.text(row), category.text(row), subject.text(row),
                        static_cast<std::int64_t>(row));
    }
    return merge;
}

}  // namespace

MasterListCsvCounts importMasterListCsv(const MasterListCsv& list, RecordSet& journals,
                                        std::string_view category, std::string_view indexField) {
    checkMasterListNames(list, category);
    const std::array<int, kMasterListFieldCount> fields = fieldIndexes(journals);
    std::array<FieldInfo, kMasterListFieldCount> fieldInfo;
    for (std::size_t i = 0; i < kMasterListFieldCount; ++i) fieldInfo[i] = journals.field(fields[i]);
    const MasterListChanges changes = storedJournals(journals).decide(list, category, fieldInfo);
    const int flag = indexField.empty() ? -1 : journals.fieldIndex(indexField);

    const bool wasFiltered = journals.filtered();
    // Posts travel ahead of the server's answers; each record is still its own commit.
    PostBatch batch(journals);
    if (flag >= 0 && !changes.flagged.empty()) {
        // Unfiltered, the visible rows are the snapshot's rows in order.
        journals.setFiltered(false);
        for (const std::int64_t row : changes.flagged) {
            stopIfRequested();
            journals.setRecNo(static_cast<int>(row) + 1);
            journals.edit();
            journals.setFieldAsString(flag, kTrue);
            journals.post();
        }
    }
    // The new records after the flags, so an unfiltered view ends on the last one added, as after the
    // text import.
    for (const MasterListRow& row : changes.added) {
        stopIfRequested();
        journals.append();
        for (std::size_t i = 0; i < kMasterListFieldCount; ++i) {
            // A field without a value keeps what a new record has, as in the text import.
            if (!row[i].empty()) journals.setFieldAsString(fields[i], row[i]);
        }
        if (flag >= 0) journals.setFieldAsString(flag, kTrue);
        journals.post();
    }
    batch.finish();
    if (wasFiltered && !journals.filtered()) journals.setFiltered(true);
    return changes.counts;
}

}  // namespace lumaref
