#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "demo_journal.h"

namespace lumaref::demo {

// One entry of a master-list text file: the numbered title line, then frequency, ISSN, E-ISSN,
// address, index and Current Contents lines (a line is left out when its value is missing),
// then a blank line. Lines end with CR LF, as in the lists these files imitate.
void appendMasterListEntry(std::string& out, std::size_t number, const Journal& journal);

// The lines before the first entry; none of them is taken for a journal line by the importer.
std::string masterListHeading(std::string_view category, std::string_view subject, std::size_t entries);

}  // namespace lumaref::demo
