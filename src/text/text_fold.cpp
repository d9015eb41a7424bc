#include "text/text_fold.h"

#include <utf8proc.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "text/ascii.h"

namespace lumaref {

namespace {

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is not valid UTF-8.
std::size_t decodeOne(std::string_view text, std::size_t pos, utf8proc_int32_t& codepoint) {
    const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + pos),
                                         static_cast<utf8proc_ssize_t>(text.size() - pos), &codepoint);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

// Folds one run of valid non-ASCII UTF-8 through utf8proc.
void appendFoldedUnicode(std::string& out, std::string_view run, FoldMode mode) {
    int options = UTF8PROC_CASEFOLD | UTF8PROC_COMPOSE | UTF8PROC_STABLE;
    if (mode == FoldMode::CaseAndAccents) options |= UTF8PROC_STRIPMARK;
    utf8proc_uint8_t* mapped = nullptr;
    const auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(run.data()),
                                     static_cast<utf8proc_ssize_t>(run.size()), &mapped,
                                     static_cast<utf8proc_option_t>(options));
    if (length >= 0 && mapped != nullptr) {
        out.append(reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(length));
    } else {
        out.append(run);
    }
    std::free(mapped);
}

}  // namespace

void appendFolded(std::string& out, std::string_view utf8, FoldMode mode) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Most journal text is ASCII: a run of it is lowered eight bytes at a time, without utf8proc.
        if (const std::size_t ascii = asciiPrefixLength(utf8.substr(pos)); ascii > 0) {
            appendLoweredAscii(out, utf8.substr(pos, ascii));
            pos += ascii;
            continue;
        }
        // A run of valid non-ASCII characters (combining marks must stay with their base letter,
        // so the run also takes the ASCII letter before it when there is one).
        std::size_t end = pos;
        utf8proc_int32_t codepoint = 0;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) {
            const std::size_t length = decodeOne(utf8, end, codepoint);
            if (length == 0) break;
            end += length;
        }
        if (end == pos) {
            out += utf8[pos];  // not UTF-8: keep the byte as it is
            ++pos;
            continue;
        }
        std::size_t start = pos;
        if (start > 0 && static_cast<unsigned char>(utf8[start - 1]) < 0x80) {
            out.pop_back();
            --start;
        }
        appendFoldedUnicode(out, utf8.substr(start, end - start), mode);
        pos = end;
    }
}

std::string foldText(std::string_view utf8, FoldMode mode) {
    std::string out;
    out.reserve(utf8.size());
    appendFolded(out, utf8, mode);
    return out;
}

std::string_view foldTablesVersion() { return utf8proc_version(); }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        // ASCII letter case keeps the length: only a name with other characters can still match.
        if (asciiPrefixLength(a) == a.size() && asciiPrefixLength(b) == b.size()) return false;
    } else {
        bool ascii = true;
        bool equal = true;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto x = static_cast<unsigned char>(a[i]);
            const auto y = static_cast<unsigned char>(b[i]);
            if (x >= 0x80 || y >= 0x80) {
                ascii = false;
                break;
            }
            if (lowerAscii(a[i]) != lowerAscii(b[i])) equal = false;
        }
        if (ascii) return equal;
    }
    return foldText(a, FoldMode::Case) == foldText(b, FoldMode::Case);
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    utf8proc_int32_t codepoint = 0;
    while (pos < bytes.size()) {
        // Files are mostly ASCII: eight bytes at a time while none has its high bit set.
        std::uint64_t word = 0;
        if (pos + sizeof word <= bytes.size() &&
            (std::memcpy(&word, bytes.data() + pos, sizeof word), (word & 0x8080808080808080ull) == 0)) {
            pos += sizeof word;
            continue;
        }
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = decodeOne(bytes, pos, codepoint);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string_view truncateToChars(std::string_view utf8, std::size_t maxChars) {
    std::size_t pos = 0;
    std::size_t chars = 0;
    while (pos < utf8.size() && chars < maxChars) {
        const auto c = static_cast<unsigned char>(utf8[pos]);
        std::size_t length = 1;
        if (c >= 0x80) {
            utf8proc_int32_t codepoint = 0;
            length = decodeOne(utf8, pos, codepoint);
            if (length == 0) length = 1;
        }
        pos += length;
        ++chars;
    }
    return utf8.substr(0, pos);
}

}  // namespace lumaref
