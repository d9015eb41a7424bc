#include "exchange/view_csv.h"

#include <string_view>

#include "db/record_set.h"

namespace lumaref {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
// Bytes gathered before each write: few system calls, little memory at any size.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

bool needsQuotes(std::string_view value) {
    for (const char c : value) {
        if (c == '"' || c == ',' || c == '\r' || c == '\n') return true;
    }
    return false;
}

void appendField(std::string& out, std::string_view value) {
    if (!needsQuotes(value)) {
        out += value;
        return;
    }
    out += '"';
    for (const char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

void exportViewCsv(const RecordSet& rows, const std::vector<ViewColumn>& columns, const std::string& path,
                   const FileSink& sink) {
    requireViewColumns(columns);
    try {
        StagedFile file(path, StagedFile::Existing::Replace, sink);
        std::string chunk;
        chunk.reserve(kChunkBytes + 4096);
        chunk += kByteOrderMark;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) chunk += ',';
            appendField(chunk, columns[i].caption);
        }
        chunk += kLineEnd;
        const int count = rows.recordCount();
        for (int position = 0; position < count; ++position) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) chunk += ',';
                appendField(chunk, rows.valueAt(position, columns[i].field));
            }
            chunk += kLineEnd;
            if (chunk.size() >= kChunkBytes) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
        file.commit();
    } catch (const StagedFileError& failure) {
        throwViewExportError(failure, path);
    }
}

}  // namespace lumaref
