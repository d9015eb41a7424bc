#include "picklists/list_file.h"
#include "text/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Any bytes decode (or are refused as no text) and split without failing; items that hold no line break
// and no zero byte survive being written as lines and read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = lumaref::decodeText(bytes);
    } catch (const lumaref::NotTextError&) {
        text = std::string(bytes);  // the split itself takes any bytes
    }

    const std::vector<std::string> items = lumaref::splitListText(text);

    for (const std::string& item : items) {
        if (item.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
    }

    // Round trip: the input's bytes cut into items at every line-break or zero byte.
    std::vector<std::string> clean;
    std::string current;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n' || c == '\0') {
            clean.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    clean.push_back(current);

    std::string joined;
    for (const std::string& item : clean) {
        joined += item;
        joined += "\r\n";
    }
    if (lumaref::splitListText(joined) != clean) std::abort();
    return 0;
}
