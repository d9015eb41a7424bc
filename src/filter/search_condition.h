#pragma once

#include <string>
#include <string_view>

namespace lumaref {

// The condition the search appends for this field choice, in its exact form for an empty or a
// non-empty filter text; empty when the choice searches nothing ("Admin Mode" or unknown text).
std::string searchCondition(std::string_view fieldChoice, std::string_view searchText, bool filterIsEmpty);

}  // namespace lumaref
