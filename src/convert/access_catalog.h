#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumaref {

// An entry of the catalogue of an Access file: a table, or any other object.
struct CatalogEntry {
    std::string name;
    bool table = false;
    std::size_t page = 0;  // a table's definition; for other objects a number of no meaning here
    std::uint32_t flags = 0;
};

// What the first bytes of a page say it is.
enum class DefinitionPage { Other, SystemTable, UserTable };

// Reads the kind of a page of an Access file (Jet 3 pages of 2048 bytes, else 4096).
std::function<DefinitionPage(std::size_t page)> definitionPageReader(const std::string& path, bool jet3);

// The names of the user tables, in catalogue order, once the catalogue is held against itself and the
// pages it points to. A damaged catalogue can read as another, plausible one: names gone, a system table
// listed as a user table, a table listed as another object, two entries on one table. Throws Error naming the
// first such disagreement.
std::vector<std::string> checkedUserTables(const std::vector<CatalogEntry>& entries,
                                           const std::function<DefinitionPage(std::size_t)>& pageKind,
                                           const std::string& path);

}  // namespace lumaref
