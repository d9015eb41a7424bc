#include "picklists/list_rebuild.h"

#include <optional>
#include <utility>

#include "db/record_set.h"
#include "filter/condition_text.h"
#include "picklists/distinct_values.h"
#include "picklists/list_file.h"
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

// Where the subject file of a category that is no valid file name would be, for the error that
// reports it. A zero byte would end the message text early, so it shows as the symbol for null.
std::string shownSubjectPath(std::string_view listFolder, std::string_view category) {
    std::string path(listFolder);
    if (!path.empty() && path.back() != '/') path += '/';
    path += "subjects/";
    for (const char c : category) {
        if (c == '\0') {
            path += "\xE2\x90\x80";  // U+2400
        } else {
            path += c;
        }
    }
    path += ".txt";
    return path;
}

// A backslash counts as a separator too: lists copied to or from Windows must mean the same files,
// and the subject list of such a category is never loaded.
std::string subjectListPathOrThrow(std::string_view listFolder, std::string_view category) {
    std::optional<std::string> path = subjectListPath(listFolder, category);
    if (!path) {
        throw Error("Cannot create file \"" + shownSubjectPath(listFolder, category) +
                    "\". A category that contains \"/\", \"\\\" or a zero byte, or is \".\" or \"..\", "
                    "is not a valid file name");
    }
    return std::move(*path);
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

void checkSubjectListNames(std::string_view listFolder, const std::vector<std::string>& categories) {
    for (const std::string& category : categories) subjectListPathOrThrow(listFolder, category);
}

void rebuildSubjectLists(RecordSet& journals, std::string_view listFolder,
                         const std::vector<std::string>& categories) {
    for (const std::string& category : categories) {
        journals.setFiltered(false);
        journals.setFilter(subjectFilterText(category));
        journals.setFiltered(true);
        journals.first();
        writeListFile(subjectListPathOrThrow(listFolder, category),
                      collectToEnd(journals, kSubjectField, EmptyValues::Collect));
    }
}

}  // namespace lumaref
