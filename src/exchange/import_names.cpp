#include "exchange/import_names.h"

#include <string>

#include "text/ascii.h"
#include "text/error.h"
#include "text/file_name.h"

namespace lumaref {

namespace {

// A zero byte would end the message text early, so it shows as the symbol for null.
std::string shown(std::string_view value) {
    std::string text;
    for (const char c : value) {
        if (c == '\0') {
            text += "\xE2\x90\x80";  // U+2400
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

void checkImportName(std::string_view what, std::string_view value) {
    if (trimmed(value).empty()) {
        throw Error("Nothing was imported: the " + std::string(what) + " is empty. Type a " +
                    std::string(what) + " for the imported journals.");
    }
    if (!isValidFileName(value)) {
        throw Error("Nothing was imported: the " + std::string(what) + " \"" + shown(value) +
                    "\" is not a valid file name. It must not contain \"/\", \"\\\" or a zero byte, nor be "
                    "\".\" or \"..\".");
    }
}

void checkImportNames(std::string_view category, std::string_view subject) {
    checkImportName("category", category);
    checkImportName("subject", subject);
}

}  // namespace lumaref
