#pragma once

#include <string_view>

namespace lumaref {

// Refuses a category or subject that the pick lists could not hold: empty once blanks are trimmed,
// or no valid file name ("/", "\", a zero byte, "." or ".."), since the list rebuild writes each
// category's subjects to a file of that name. Throws Error naming the box and the value; called
// before an import reads its first line, so a refused name imports nothing.
void checkImportNames(std::string_view category, std::string_view subject);
// One of them: `what` is "category" or "subject", as the message names it.
void checkImportName(std::string_view what, std::string_view value);

}  // namespace lumaref
