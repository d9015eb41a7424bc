#pragma once

#include <string_view>

namespace lumaref {

// Whether a name from the data can name a file inside its folder: not "." or "..", and without "/",
// "\" (lists are copied to and from Windows) or a zero byte. The empty name is valid (".txt").
bool isValidFileName(std::string_view name);

}  // namespace lumaref
