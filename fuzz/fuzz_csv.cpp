#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/csv_header.h"
#include "text/csv_rows.h"
#include "text/text_file.h"
#include "text/text_fold.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Rows of a text with one separator; row lines must rise and stay within the text.
Rows readChecked(std::string_view text, char separator) {
    std::size_t lastLine = 0;
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
    }
    Rows rows;
    lumaref::CsvSyntaxError error{};
    const bool ok = lumaref::readCsvRows(
        text, separator,
        [&](const lumaref::CsvRow& row) {
            if (row.line <= lastLine || row.line > lines) std::abort();
            lastLine = row.line;
            std::vector<std::string> fields;
            for (std::size_t i = 0; i < row.size(); ++i) fields.emplace_back(row[i]);
            rows.push_back(std::move(fields));
            return true;
        },
        &error);
    if (!ok && (error.line < 1 || error.line > lines || error.reason.empty())) std::abort();
    return rows;
}

// Every field quoted, rows on lines of their own: the same fields must come back.
std::string written(const Rows& rows, char separator) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += separator;
            text += '"';
            for (const char c : row[i]) {
                text += c;
                if (c == '"') text += '"';
            }
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = lumaref::decodeText(bytes);
    } catch (const lumaref::NotTextError&) {
        text = std::string(bytes);  // the reader itself takes any bytes
    }
    for (const char separator : lumaref::kCsvSeparators) {
        const Rows rows = readChecked(text, separator);
        if (readChecked(written(rows, separator), separator) != rows) std::abort();
    }

    lumaref::CsvHeaderMiss miss;
    const auto header = lumaref::findCsvHeader(text, {"ISSN"}, {"ISSN", "Journal Title"}, &miss);
    if (header) {
        bool named = false;
        for (const std::string& name : header->names) named = named || lumaref::sameName(name, "ISSN");
        if (!named || header->line < 1) std::abort();
    } else if (miss.missing.empty()) {
        std::abort();
    }
    return 0;
}
