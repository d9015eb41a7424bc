#include "convert/access_extent.h"

// Before libmdb's header: glib includes it from inside that header's extern "C" block.
#include <type_traits>

#include <mdbtools.h>

namespace lumaref {

namespace {

// A usage map of type 1 lists the pages that hold its bitmap, four bytes each after the type byte.
bool mapPagesWithinFile(const MdbTableDef& table, std::size_t pages) {
    if (table.map_sz < 1 || table.usage_map[0] != 1) return true;
    for (std::size_t at = 1; at + 4 <= table.map_sz; at += 4) {
        const auto page = static_cast<std::size_t>(mdb_get_int32(table.usage_map, static_cast<int>(at)));
        if (page >= pages) return false;
    }
    return true;
}

}  // namespace

bool tablePagesWithinFile(const S_MdbTableDef& table, std::size_t pages) {
    if (table.entry == nullptr || table.entry->table_pg >= pages) return false;
    if (table.usage_map == nullptr) return true;
    if (!mapPagesWithinFile(table, pages)) return false;
    MdbHandle* mdb = table.entry->mdb;
    const auto mapBytes = static_cast<unsigned int>(table.map_sz);
    // Pages come in rising order: the first one past the end settles it, and the walk ends there.
    for (gint32 page = mdb_map_find_next(mdb, table.usage_map, mapBytes, 0); page > 0;
         page = mdb_map_find_next(mdb, table.usage_map, mapBytes, static_cast<guint32>(page))) {
        if (static_cast<std::size_t>(page) >= pages) return false;
    }
    return true;
}

}  // namespace lumaref
