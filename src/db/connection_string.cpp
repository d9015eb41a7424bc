#include "db/connection_string.h"

#include "text/ascii.h"
#include "text/error.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

[[noreturn]] void malformed(std::string_view text) {
    throw Error("The connection string is not a list of key=value pairs (at character " +
                std::to_string(text.size() + 1) + ").");
}

}  // namespace

std::map<std::string, std::string> parseConnectionString(std::string_view text) {
    std::map<std::string, std::string> pairs;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t equals = text.find('=', pos);
        const std::size_t semicolon = text.find(';', pos);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            // A segment without "=" is allowed only when it is blank ("a=b;;" or a trailing blank).
            const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
            if (!trimmed(text.substr(pos, end - pos)).empty()) malformed(text.substr(0, pos));
            pos = end + 1;
            continue;
        }
        const std::string key = foldText(trimmed(text.substr(pos, equals - pos)), FoldMode::Case);
        if (key.empty()) malformed(text.substr(0, pos));
        std::size_t valueStart = equals + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        std::string value;
        std::size_t next = 0;
        if (valueStart < text.size() && (text[valueStart] == '"' || text[valueStart] == '\'')) {
            const char quote = text[valueStart];
            std::size_t i = valueStart + 1;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == quote) {
                    if (i + 1 < text.size() && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed) malformed(text.substr(0, valueStart));
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
            if (i < text.size() && text[i] != ';') malformed(text.substr(0, i));
            next = i + 1;
        } else {
            const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
            value = std::string(trimmed(text.substr(valueStart, end - valueStart)));
            next = end + 1;
        }
        pairs[key] = std::move(value);
        pos = next;
    }
    return pairs;
}

}  // namespace lumaref
