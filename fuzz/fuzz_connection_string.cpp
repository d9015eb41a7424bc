// Arbitrary connection strings: each is parsed or refused with lumaref::Error, nothing else.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "db/connection_string.h"
#include "text/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        lumaref::parseConnectionString(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const lumaref::Error&) {
    }
    return 0;
}
