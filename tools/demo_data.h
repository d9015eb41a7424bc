#pragma once

#include <cstdint>
#include <string>

namespace lumaref::demo {

struct Options {
    std::uint64_t journals = 0;
    std::uint64_t seed = 1;
    std::string outDir;
    // Entries per master-list sample file (one file per subject); 0 writes none.
    std::uint64_t masterListEntries = 20;
    // Replace an existing Database.mdb (and its journal files) instead of refusing.
    bool force = false;
    // Also the ranking downloads (SJR, JCR, DOAJ, an own list, a master-list CSV) of `journals` rows each.
    bool rankingFiles = false;
};

struct Summary {
    std::uint64_t journals = 0;
    std::uint64_t rankingRows = 0;
    std::uint64_t quartileRows = 0;
    std::uint64_t categories = 0;
    std::uint64_t masterListFiles = 0;
    std::uint64_t rankingFiles = 0;
};

// Writes <outDir>/Database.mdb, the list files under <outDir>/lists, master-list samples under
// <outDir>/master-lists and, when asked, ranking downloads under <outDir>/ranking-files, all determined
// by the seed. The database is built beside its final name and
// renamed into place last, so a failure leaves no partial Database.mdb. Throws lumaref::Error.
Summary generate(const Options& options);

}  // namespace lumaref::demo
