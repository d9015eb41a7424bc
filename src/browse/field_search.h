#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lumaref {

// The items of the search-field selector, in order.
inline constexpr std::array<const char*, 7> kSearchFieldItems = {
    "Journal Title", "ISSN", "E-ISSN", "Impact Factor", "Journal Q", "Publisher/Address", "Admin Mode"};
inline constexpr const char* kAdminModeItem = "Admin Mode";

// The condition the search appends for this field choice, in its exact form for an empty or a
// non-empty filter text; empty when the choice searches nothing ("Admin Mode" or unknown text).
std::string searchCondition(std::string_view fieldChoice, std::string_view searchText, bool filterIsEmpty);

// The administrator gate: the access code (exact, letter case significant) with "Admin Mode".
// The code itself is not kept in the program, only its digest.
bool opensAdminMode(std::string_view searchText, std::string_view fieldChoice);

// Caption of the label before the search box for a field choice: "Password:" or "Search for:".
std::string searchLabelCaption(std::string_view fieldChoice);

}  // namespace lumaref
