#pragma once

#include <string>

namespace lumaref {

// Creates an empty Lumaref database at `target` with the tables of schema.sql. It is built in a
// temporary file beside the target and renamed into place, so a failure leaves no half-made file.
// An existing target is refused unless `replace` is set. Throws Error.
void createNewDatabase(const std::string& target, bool replace);

}  // namespace lumaref
