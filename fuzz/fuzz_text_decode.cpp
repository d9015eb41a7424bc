// Any bytes: decoded to valid UTF-8 without NUL bytes or other stray control characters, or refused
// with NotTextError. What is decoded decodes again to itself, and written as UTF-16 in either byte
// order with its mark it decodes to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/text_file.h"
#include "text/text_fold.h"

namespace {

// UTF-8 text (valid) as UTF-16 with a byte-order mark.
std::string asUtf16(std::string_view text, bool littleEndian) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const auto unit = [&](std::uint32_t value) {
        const char high = static_cast<char>(value >> 8);
        const char low = static_cast<char>(value & 0xFF);
        out += littleEndian ? low : high;
        out += littleEndian ? high : low;
    };
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        at += length;
        if (codePoint < 0x10000) {
            unit(codePoint);
        } else {
            codePoint -= 0x10000;
            unit(0xD800 + (codePoint >> 10));
            unit(0xDC00 + (codePoint & 0x3FF));
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = lumaref::decodeText(bytes);
    } catch (const lumaref::NotTextError& notText) {
        if (std::string_view(notText.what()).empty()) std::abort();
        return 0;
    }
    if (!lumaref::isValidUtf8(text)) std::abort();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r') std::abort();
    }
    // A byte-order mark inside the text (a second one) is taken off the front the next time.
    std::string_view again(text);
    if (again.starts_with("\xEF\xBB\xBF")) again.remove_prefix(3);
    if (lumaref::decodeText(text) != again) std::abort();
    // UTF-16 takes two or four bytes a character, so it may meet the line limit sooner.
    if (again.size() * 2 < lumaref::kLongestLine && !again.starts_with("\xEF\xBB\xBF")) {
        for (const bool littleEndian : {true, false}) {
            if (lumaref::decodeText(asUtf16(again, littleEndian)) != again) std::abort();
        }
    }
    return 0;
}
