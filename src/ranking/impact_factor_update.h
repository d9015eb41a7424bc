#pragma once

#include "ranking/update_steps.h"

namespace lumaref {

class RecordSet;

// The condition that leaves the Emerging Sources journals out of the impact-factor update.
inline constexpr const char* kEmergingSourcesExclusion = "[Emerging Sources Citation Index] <> True";

// Copies the impact factor, total cites and impact factor without self cites from the ranking table
// into every journal of the selection that is not an Emerging Sources journal: one edit and one post
// per matched journal, each its own commit. Starts with the progress bar over the journals shown at
// the call and the selection filter; ends with the bar hidden and the selection filter applied again.
// With no journal shown nothing is done. An error ends the update where it happens, the journal
// being edited then is left unchanged.
UpdateCounts updateImpactFactors(RecordSet& journals, RecordSet& ranking, UpdateSteps& steps);

}  // namespace lumaref
