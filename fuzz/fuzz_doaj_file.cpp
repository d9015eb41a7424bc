// The DOAJ journal CSV, from any bytes: see ranking_file_check.h.
#include <cstddef>
#include <cstdint>

#include "ranking_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return checkRankingFile(data, size, lumaref::RankingLayout::Doaj);
}
