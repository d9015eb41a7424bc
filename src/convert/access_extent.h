#pragma once

#include <cstddef>

struct S_MdbTableDef;

namespace lumaref {

// Whether every page a table definition points to (its own page, its usage map's pages, the data pages
// the map lists) lies inside a file of `pages` pages. libmdb ends a table quietly at a page it cannot
// read, so a cut file would otherwise convert in part.
bool tablePagesWithinFile(const S_MdbTableDef& table, std::size_t pages);

}  // namespace lumaref
