#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaref::bench {

// The category and subject every benchmark import is stamped with.
inline constexpr const char* kCategoryText = "Medicine";
inline constexpr const char* kSubjectText = "Cardiology";

// The columns the import writes, in the order the peers bind them: the yes/no ones are
// [kFirstBoolean, kFirstAfterBooleans), true where the entry names them.
inline constexpr std::array<const char*, 13> kImportColumns = {"Title",
                                                               "category",
                                                               "subject",
                                                               "Frequently",
                                                               "ISSN",
                                                               "E-ISSN",
                                                               "Address",
                                                               "Science Citation Index",
                                                               "Science Citation Index Expanded",
                                                               "Emerging Sources Citation Index",
                                                               "Arts Humanities Citation Index",
                                                               "Current_Contents1",
                                                               "Current_Contents2"};
inline constexpr std::size_t kFirstBoolean = 7;
inline constexpr std::size_t kFirstAfterBooleans = 11;

using ImportRow = std::array<std::optional<std::string>, kImportColumns.size()>;

// A master list of `entries` generated journals in the demo generator's format, written once per size,
// and the rows it holds, worked out before any clock runs so the peers insert exactly those.
struct MasterList {
    std::string path;
    std::vector<ImportRow> rows;
    std::string schemaSql;  // the benchmark database's tables, for an empty database of that schema
};

const MasterList& masterListFor(std::uint64_t entries);

}  // namespace lumaref::bench
