#include "exchange/import_line_classifier.h"
#include "exchange/master_list_file.h"
#include "text/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// Any bytes split into lines without breaks or Ctrl-Z; every line classifies to a known code whose text
// lies inside the line (or is "true"), and the flags never claim two positions at once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = lumaref::decodeText(bytes);
    } catch (const lumaref::NotTextError&) {
        return 0;
    }
    lumaref::MasterListLines lines(std::move(text));
    lumaref::ImportLineClassifier classifier;
    std::string_view line;
    while (lines.nextLine(line)) {
        if (line.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string_view::npos) std::abort();
        const lumaref::ClassifiedLine result = classifier.ClassifyImportLine(line);
        const int code = static_cast<int>(result.code);
        if (code != -1 && (code < 1 || code > 11)) std::abort();
        if (code == -1 && !result.text.empty()) std::abort();
        const bool inLine = std::less_equal<const char*>()(line.data(), result.text.data()) &&
                            std::less_equal<const char*>()(result.text.data() + result.text.size(),
                                                           line.data() + line.size());
        if (code >= 6 && code <= 9 ? result.text != "true" : !result.text.empty() && !inLine) std::abort();
        if (classifier.TitleSeen && classifier.AddressNext) std::abort();
        if (classifier.TitleSeen != (code == 1)) std::abort();
        if (classifier.AddressNext != (code == 3 || code == 4)) std::abort();
    }
    return 0;
}
