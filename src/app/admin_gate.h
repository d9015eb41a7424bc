#pragma once

#include <string_view>

namespace lumaref {

// The administrator gate: the access code (exact, letter case significant) with "Admin Mode".
// The code itself is not kept in the program, only its digest.
bool opensAdminMode(std::string_view searchText, std::string_view fieldChoice);

}  // namespace lumaref
