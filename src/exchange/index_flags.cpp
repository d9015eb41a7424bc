#include "exchange/index_flags.h"

#include "db/record_set.h"
#include "db/schema_names.h"
#include "text/ascii.h"
#include "text/issn_form.h"
#include "text/value_text.h"

namespace lumaref {

namespace {

// One spelling for every form of a number; text that is no ISSN as it stands, in capitals.
std::string numberKey(std::string_view number) {
    if (std::optional<std::string> issn = printedIssn(number)) return std::move(*issn);
    return upperAscii(trimmed(number));
}

}  // namespace

IndexListing::IndexListing(const MasterListCsv& list, std::string_view category)
    : list_(list), category_(category) {}

bool IndexListing::hasLeft(std::string_view category, bool flagged, std::string_view issn,
                           std::string_view eIssn) {
    if (!flagged || category != category_) return false;
    if (!gathered_) {
        gathered_ = true;
        const MasterListRecord* previous = nullptr;
        for (const MasterListRecord& record : list_.records) {
            // A row's records, one per category, follow each other with the same numbers.
            if (previous != nullptr && previous->line == record.line) continue;
            previous = &record;
            for (const std::string* number : {&record.issn, &record.eIssn}) {
                if (!trimmed(*number).empty()) numbers_.insert(numberKey(*number));
            }
        }
    }
    bool numbered = false;
    for (const std::string_view number : {issn, eIssn}) {
        if (trimmed(number).empty()) continue;
        numbered = true;
        if (numbers_.contains(numberKey(number))) return false;
    }
    return numbered;
}

std::vector<std::int64_t> journalsThatLeftIndex(const MasterListCsv& list, const RecordSet& journals,
                                                std::string_view category, std::string_view indexField) {
    const Table& table = journals.snapshot();
    const auto column = [&](std::string_view name) -> const Column& {
        return table.columns[static_cast<std::size_t>(journals.fieldIndex(name))];
    };
    const Column& issn = column(kIssnField);
    const Column& eIssn = column(kEIssnField);
    const Column& stored = column(kCategoryField);
    const Column& flag = column(indexField);
    IndexListing listing(list,
                         withinFieldSize(journals.field(journals.fieldIndex(kCategoryField)), category));
    std::vector<std::int64_t> rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (listing.hasLeft(stored.text(row), flag.boolean(row).value_or(false), issn.text(row),
                            eIssn.text(row)))
            rows.push_back(static_cast<std::int64_t>(row));
    }
    return rows;
}

void clearIndexFlags(RecordSet& journals, const std::vector<std::int64_t>& rows,
                     std::string_view indexField) {
    if (rows.empty()) return;
    const int flag = journals.fieldIndex(indexField);
    const bool wasFiltered = journals.filtered();
    // Unfiltered, the visible rows are the snapshot's rows in order.
    journals.setFiltered(false);
    for (const std::int64_t row : rows) {
        journals.setRecNo(static_cast<int>(row) + 1);
        journals.edit();
        journals.setFieldAsString(flag, "false");
        journals.post();
    }
    if (wasFiltered) journals.setFiltered(true);
}

}  // namespace lumaref
