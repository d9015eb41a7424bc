#pragma once

#include <array>
#include <string_view>

namespace lumaref {

// The items of the search-field selector, in order.
inline constexpr std::array<const char*, 7> kSearchFieldItems = {
    "Journal Title", "ISSN", "E-ISSN", "Impact Factor", "Journal Q", "Publisher/Address", "Admin Mode"};
inline constexpr const char* kAdminModeItem = "Admin Mode";

// Caption of the label before the search box for a field choice.
inline const char* searchLabelCaption(std::string_view fieldChoice) {
    return fieldChoice == kAdminModeItem ? "Password:" : "Search for:";
}

}  // namespace lumaref
