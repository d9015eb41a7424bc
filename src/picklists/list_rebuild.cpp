#include "picklists/list_rebuild.h"

#include "db/record_set.h"
#include "filter/condition_text.h"
#include "picklists/distinct_values.h"
#include "picklists/pick_lists.h"
#include "text/error.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

int fieldNumber(const RecordSet& records, std::string_view name) {
    const int count = records.fieldCount();
    for (int i = 0; i < count; ++i) {
        if (sameName(records.field(i).name, name)) return i;
    }
    throw Error(records.name() + ": Field '" + std::string(name) + "' not found");
}

}  // namespace

std::vector<std::string> collectToEnd(RecordSet& records, std::string_view field, EmptyValues empty) {
    DistinctValues values;
    int index = -1;
    while (!records.eof()) {
        // Looked up once, on the first row, so an empty walk needs no such field.
        if (index < 0) index = fieldNumber(records, field);
        // Read in place: no copy of the value unless it is new.
        const std::string_view value = records.valueAt(records.currentPosition(), index);
        if (empty == EmptyValues::Collect || !value.empty()) values.add(value);
        records.next();
    }
    return values.take();
}

std::vector<std::string> collectFromEveryRow(RecordSet& records, std::string_view field, EmptyValues empty) {
    records.setFiltered(false);
    records.first();
    return collectToEnd(records, field, empty);
}

std::string subjectFilterText(std::string_view category) { return "category =" + quoted(category); }

void rebuildSubjectLists(RecordSet& journals, PickLists& lists, const std::vector<std::string>& categories) {
    for (const std::string& category : categories) {
        journals.setFiltered(false);
        journals.setFilter(subjectFilterText(category));
        journals.setFiltered(true);
        journals.first();
        lists.writeSubjects(category, collectToEnd(journals, kSubjectField, EmptyValues::Collect));
    }
}

}  // namespace lumaref
