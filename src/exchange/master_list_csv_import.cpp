#include "exchange/master_list_csv_import.h"

#include <array>
#include <cstdint>
#include <string>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "exchange/import_names.h"
#include "exchange/master_list_csv_matches.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

constexpr std::string_view kTrue = "true";

// Every stored journal by its match key, with its snapshot row; the first one wins, as the import
// itself never stores a second.
MasterListCsvMatches storedKeys(const RecordSet& journals) {
    const Table& table = journals.snapshot();
    const Column& issn = table.columns[static_cast<std::size_t>(journals.fieldIndex(kIssnField))];
    const Column& eIssn = table.columns[static_cast<std::size_t>(journals.fieldIndex(kEIssnField))];
    const Column& category = table.columns[static_cast<std::size_t>(journals.fieldIndex(kCategoryField))];
    const Column& subject = table.columns[static_cast<std::size_t>(journals.fieldIndex(kSubjectField))];
    MasterListCsvMatches keys;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        keys.findOrAdd(issn.text(row), eIssn.text(row), category.text(row), subject.text(row),
                       static_cast<std::int64_t>(row));
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
    MasterListCsvMatches keys = storedKeys(journals);
    const bool wasFiltered = journals.filtered();
    enum Field : std::uint8_t { kTitle, kIssn, kEIssn, kAddress, kCategory, kSubject, kFieldCount };
    const std::array<int, kFieldCount> fields = {
        journals.fieldIndex(kTitleField),    journals.fieldIndex(kIssnField),
        journals.fieldIndex(kEIssnField),    journals.fieldIndex(kAddressField),
        journals.fieldIndex(kCategoryField), journals.fieldIndex(kSubjectField)};
    const auto cut = [&journals, &fields](Field field, std::string_view value) {
        return withinFieldSize(journals.field(fields[field]), value);
    };
    const int flag = indexField.empty() ? -1 : journals.fieldIndex(indexField);

    for (const MasterListRecord& record : list.records) {
        // Matched as stored: the record set cuts a value longer than its field.
        const auto [row, isNew] = keys.findOrAdd(cut(kIssn, record.issn), cut(kEIssn, record.eIssn),
                                                 cut(kCategory, category), cut(kSubject, record.subject), 0);
        if (!isNew) {
            ++counts.merged;
            if (flag < 0) continue;
            // Unfiltered, the visible rows are the snapshot's rows in order.
            journals.setFiltered(false);
            journals.setRecNo(static_cast<int>(*row) + 1);
            journals.edit();
            journals.setFieldAsString(flag, kTrue);
            journals.post();
            continue;
        }
        journals.append();
        const std::array<std::string_view, kFieldCount> values = {
            record.title, record.issn, record.eIssn, record.address, category, record.subject};
        for (std::size_t i = 0; i < values.size(); ++i) {
            // A field without a value keeps what a new record has, as in the text import.
            if (!values[i].empty()) journals.setFieldAsString(fields[i], values[i]);
        }
        if (flag >= 0) journals.setFieldAsString(flag, kTrue);
        journals.post();
        ++counts.added;
        if (row != nullptr) *row = static_cast<std::int64_t>(journals.snapshot().rowCount() - 1);
    }
    if (wasFiltered && !journals.filtered()) journals.setFiltered(true);
    return counts;
}

}  // namespace lumaref
