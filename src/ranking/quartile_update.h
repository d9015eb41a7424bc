#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ranking/update_steps.h"

namespace lumaref {

class RecordSet;

// The filter a quartile table gets for one journal: "ISSN =" + quoted ISSN + " OR ISSN=" + quoted E-ISSN.
std::string quartileFilterText(std::string_view issn, std::string_view eissn);

// Sets the Q of every journal shown (under the filter in force at the call) to "Q1".."Q4" from the
// first of the four quartile tables, in that order, whose filtered rows hold a non-empty ISSN: one
// edit and one post per assigned journal, each its own commit. A journal in no table keeps its Q.
// Each quartile table is left filtered by the last journal it was consulted for. Starts with the
// progress bar over the journals shown; ends with the bar hidden and the selection filter applied.
// With no journal shown nothing is done.
// When no quartile filter could fail, the filters are answered from one look-up built for the run,
// leaving the same state; otherwise they are set journal by journal, each failing where it happens.
UpdateCounts updateQuartiles(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                             UpdateSteps& steps);

}  // namespace lumaref
