#pragma once

#include <string>
#include <string_view>

#include "text/error.h"

namespace lumaref {

// A path as messages show it: made absolute and normal, as the user would type it.
std::string fullPath(const std::string& path);

// The system's text for an errno value, with trailing blanks and full stops removed.
std::string systemReason(int errnoValue);

// Error("<what> \"<full path>\". <system reason>"), e.g. what = "Cannot open file"; a relative path is
// shown made absolute.
Error fileError(std::string_view what, const std::string& path, int errnoValue);
// The same with a reason of our own in place of the system's.
Error fileError(std::string_view what, const std::string& path, std::string_view reason);

}  // namespace lumaref
