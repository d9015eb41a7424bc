#include "exchange/journal_list_export.h"

#include <string_view>
#include <vector>

#include "db/record_set.h"

namespace lumaref {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
// The separator's own CR LF, then the line break every line gets: an empty line follows it.
const std::string kRecordSeparator = std::string(101, '-') + "\r\n\r\n";

}  // namespace

std::string journalListText(RecordSet& journals) {
    const int fields = journals.fieldCount();
    std::vector<std::string> prefixes;  // "<name> = "
    prefixes.reserve(static_cast<std::size_t>(fields));
    for (int i = 0; i < fields; ++i) prefixes.push_back(journals.field(i).name + " = ");

    // The exact size first, read in place without moving the cursor: one allocation for any size.
    const int rows = journals.recordCount();
    std::size_t size = 0;
    for (int position = 0; position < rows; ++position) {
        for (int i = 0; i < fields; ++i) {
            size += prefixes[static_cast<std::size_t>(i)].size() + journals.valueAt(position, i).size() +
                    kLineBreak.size();
        }
        size += kRecordSeparator.size();
    }
    std::string text;
    text.reserve(size);
    journals.first();
    while (!journals.eof()) {
        const int position = journals.currentPosition();
        for (int i = 0; i < fields; ++i) {
            text += prefixes[static_cast<std::size_t>(i)];
            text += journals.valueAt(position, i);
            text += kLineBreak;
        }
        text += kRecordSeparator;
        journals.next();
    }
    journals.first();
    return text;
}

void exportJournalList(RecordSet& journals, const std::string& path, const FileSink& sink) {
    const std::string text = journalListText(journals);
    replaceFileAtomically(path, text, sink);
}

}  // namespace lumaref
