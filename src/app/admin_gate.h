#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaref {

// The administrator gate: the access code (exact, letter case significant) with "Admin Mode". The
// code is the program's own unless `accessCodeHash` holds the salted hash set in /etc/lumaref.conf.
// Neither is kept in the program as the code itself, only as a digest.
bool opensAdminMode(std::string_view searchText, std::string_view fieldChoice,
                    const std::optional<std::string>& accessCodeHash = std::nullopt);

}  // namespace lumaref
