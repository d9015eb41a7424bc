#pragma once

#include <cstddef>
#include <string_view>

namespace lumaref {

// Where `needle` first occurs in `text` (0 for an empty needle), or std::string_view::npos. Meant for
// the short cells a search tests one at a time: eight starts are tried at once against the needle's
// first two bytes, where std::string_view::find calls memchr and memcmp at every first byte.
std::size_t findSubstring(std::string_view text, std::string_view needle);

}  // namespace lumaref
