#pragma once

#include <array>

#include "ranking/update_steps.h"

namespace lumaref {
class RecordSet;
}

namespace lumaref::test {

// The quartile update walked as designed: for each journal shown, the quartile tables are filtered
// by its identifiers one after the other until one lists it. The reference updateQuartiles must
// agree with (the same journals posted, the same filters left), and its benchmark peer.
UpdateCounts updateQuartilesByFilters(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                                      UpdateSteps& steps);

}  // namespace lumaref::test
