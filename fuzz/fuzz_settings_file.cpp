// Any bytes as a settings file: refused with an Error, or settings whose values are not empty and
// carry no blanks or line breaks at either end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "text/error.h"
#include "text/text_file.h"

namespace {

bool clean(const std::optional<std::string>& value) {
    if (!value) return true;
    if (value->empty()) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return !blank(value->front()) && !blank(value->back()) && value->find('\n') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const std::string text =
            lumaref::decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
        const lumaref::Settings settings = lumaref::parseSettings(text, "lumaref.conf");
        if (!clean(settings.data) || !clean(settings.database) || !clean(settings.lists)) std::abort();
    } catch (const lumaref::Error& error) {
        if (std::string_view(error.what()).empty()) std::abort();
    }
    return 0;
}
