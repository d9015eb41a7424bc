#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaref::bench {

// The directory holding a generated Database.mdb of `journals` journals, generated on first use
// and reused by later runs: <cache>/<journals>/. The cache is LUMAREF_BENCH_DATA if set.
std::string dataDirFor(std::uint64_t journals);
std::string databasePathFor(std::uint64_t journals);

std::uint64_t fileSize(const std::string& path);
// Resident memory of this process.
std::size_t residentBytes();

// The category the filters narrow by: a large one with many "optic" titles.
inline constexpr std::string_view kCategory = "Physics";

// A filter text the record set has not seen lately, for the same work: leading blanks are ignored by
// the filter syntax, and the record set remembers only the last few texts it evaluated.
std::string freshText(std::string_view text, std::uint64_t iteration);

}  // namespace lumaref::bench
