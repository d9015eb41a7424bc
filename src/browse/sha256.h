#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace lumaref {

using Sha256Digest = std::array<std::uint8_t, 32>;

// SHA-256 of a byte string (FIPS 180-4). Used to keep secrets out of the binary as plain text.
Sha256Digest sha256(std::string_view data);

}  // namespace lumaref
