#include "exchange/master_list_csv_import.h"

#include <string>
#include <unordered_map>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "exchange/import_names.h"

namespace lumaref {

namespace {

constexpr std::string_view kTrue = "true";

// The snapshot row of every stored journal by its match key; the first one wins, as the import
// itself never stores a second.
std::unordered_map<std::string, std::size_t> storedKeys(const RecordSet& journals) {
    const Table& table = journals.snapshot();
    const Column& issn = table.columns[static_cast<std::size_t>(journals.fieldIndex(kIssnField))];
    const Column& eIssn = table.columns[static_cast<std::size_t>(journals.fieldIndex(kEIssnField))];
    const Column& category = table.columns[static_cast<std::size_t>(journals.fieldIndex(kCategoryField))];
    const Column& subject = table.columns[static_cast<std::size_t>(journals.fieldIndex(kSubjectField))];
    std::unordered_map<std::string, std::size_t> keys;
    keys.reserve(table.rowCount());
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (auto key =
                masterListMatchKey(issn.text(row), eIssn.text(row), category.text(row), subject.text(row))) {
            keys.emplace(std::move(*key), row);
        }
    }
    return keys;
}

}  // namespace

MasterListCsvCounts importMasterListCsv(const MasterListCsv& list, RecordSet& journals,
                                        std::string_view category, std::string_view indexField) {
    checkImportName("category", category);
    for (const MasterListRecord& record : list.records) checkImportName("subject", record.subject);

    MasterListCsvCounts counts;
    counts.withoutIssn = list.rowsWithoutIssn;
    std::unordered_map<std::string, std::size_t> keys = storedKeys(journals);
    const bool wasFiltered = journals.filtered();
    const int fields[] = {journals.fieldIndex(kTitleField),    journals.fieldIndex(kIssnField),
                          journals.fieldIndex(kEIssnField),    journals.fieldIndex(kAddressField),
                          journals.fieldIndex(kCategoryField), journals.fieldIndex(kSubjectField)};
    const int flag = indexField.empty() ? -1 : journals.fieldIndex(indexField);

    for (const MasterListRecord& record : list.records) {
        std::optional<std::string> key =
            masterListMatchKey(record.issn, record.eIssn, category, record.subject);
        if (key) {
            if (const auto stored = keys.find(*key); stored != keys.end()) {
                ++counts.merged;
                if (flag < 0) continue;
                // Unfiltered, the visible rows are the snapshot's rows in order.
                journals.setFiltered(false);
                journals.setRecNo(static_cast<int>(stored->second) + 1);
                journals.edit();
                journals.setFieldAsString(flag, kTrue);
                journals.post();
                continue;
            }
        }
        journals.append();
        const std::string_view values[] = {record.title,   record.issn, record.eIssn,
                                           record.address, category,    record.subject};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            // A field without a value keeps what a new record has, as in the text import.
            if (!values[i].empty()) journals.setFieldAsString(fields[i], values[i]);
        }
        if (flag >= 0) journals.setFieldAsString(flag, kTrue);
        journals.post();
        ++counts.added;
        if (key) keys.emplace(std::move(*key), journals.snapshot().rowCount() - 1);
    }
    if (wasFiltered && !journals.filtered()) journals.setFiltered(true);
    return counts;
}

}  // namespace lumaref
