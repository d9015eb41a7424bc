#pragma once

#include <cstdint>
#include <string>

namespace lumaref::demo {

// The downloads an administrator loads, for `rows` rows of generated journals (journal n of the seed's
// JournalMaker for row n, or a journal per one or two rows for the citation reports export), each in
// the exact layout of its source: separators, quoting, byte-order mark, banner and footer, decimal
// commas, thousands separators, numbers in every form ("N/A", "-", no hyphen).

// The SJR journal-rank download: ";"-separated with a BOM, decimal commas, two or three categories each.
std::string sjrDownload(std::uint64_t seed, std::uint64_t rows, int year);
// The citation reports export: a banner line, one row per journal and category, the copyright footer.
std::string jcrExport(std::uint64_t seed, std::uint64_t rows, int year);
// The DOAJ journal CSV: its columns in their order, every field quoted.
std::string doajJournalCsv(std::uint64_t seed, std::uint64_t rows);
// An institution's own list: title, ISSN, E-ISSN, a level and a panel.
std::string ownList(std::uint64_t seed, std::uint64_t rows);
// A citation index's master-list download (SCIE): one row per journal, its Web of Science categories.
std::string masterListDownload(std::uint64_t seed, std::uint64_t rows);

}  // namespace lumaref::demo
