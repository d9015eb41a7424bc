#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaref {

inline constexpr std::size_t kExcerptCharacters = 80;

// Input quoted in a message: at most kExcerptCharacters characters of UTF-8 text, cut between
// characters and ending in an ellipsis where cut. A message that quoted a whole line could run to megabytes.
std::string excerpt(std::string_view text);

}  // namespace lumaref
