#pragma once

#include <cstdint>
#include <vector>

#include "ratio_report.h"

namespace lumaref::bench {

// After the suite has run: each batch job and its peer, where both ran, again in rounds, taking turns
// at going first, until the median of the per-round ratios holds still. A batch job takes seconds, and
// a machine's pace drifts over that long: only ratios of neighbouring runs compare like with like.
void runAlternatingRounds(RatioReporter& reporter, const std::vector<std::uint64_t>& sizes);

}  // namespace lumaref::bench
