#pragma once

#include <string>

#include "text/text_file.h"

namespace lumaref {

class RecordSet;

// The journal list of every row the record set shows, in its order: per row one "<field> = <value>"
// line for each field of the record set, by its own name and in its own order, then 101 hyphens and an
// empty line; every line ends in CR LF. Walks the rows with First and Next and ends on the first row.
std::string journalListText(RecordSet& journals);

// Builds the journal list whole, then replaces the file at path with it atomically (see
// replaceFileAtomically for the errors). The cursor is on the first row whether or not the write succeeds.
void exportJournalList(RecordSet& journals, const std::string& path, const FileSink& sink = systemFileSink());

}  // namespace lumaref
