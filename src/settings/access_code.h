#pragma once

#include <string>
#include <string_view>

namespace lumaref {

// The access code a system administrator sets in /etc/lumaref.conf (access-code=), kept as a salted
// hash in crypt(3) form, never as the code itself.

// A new salted hash of `code` (SHA-512 crypt, "$6$..."), each time with a new salt. Throws Error for
// an empty code or one holding a line break, which no settings line could carry.
std::string hashAccessCode(std::string_view code);

// Whether `typed` is the code `hash` was made from. A hash that is no crypt(3) hash matches nothing.
bool matchesAccessCodeHash(std::string_view typed, const std::string& hash);

// Throws Error, naming `where`, for a value that is no crypt(3) hash this system can check.
void checkAccessCodeHash(const std::string& hash, const std::string& where);

}  // namespace lumaref
