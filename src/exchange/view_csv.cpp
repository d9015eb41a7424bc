#include "exchange/view_csv.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "db/record_set.h"
#include "filter/two_thread_scan.h"
#include "text/stop_request.h"

namespace lumaref {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The text is made and written in chunks of about this size: little memory at any size, and one chunk
// is made while the one before is written.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// Whether any byte of the word is `c` (bytes as 8 lanes; exact, as zero bytes are found exactly).
constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighs = 0x8080808080808080;
constexpr std::uint64_t hasByte(std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (kOnes * c);
    return (x - kOnes) & ~x & kHighs;
}
constexpr bool hasSpecialByte(std::uint64_t word) {
    return (hasByte(word, '"') | hasByte(word, ',') | hasByte(word, '\r') | hasByte(word, '\n')) != 0;
}
constexpr bool isSpecial(char c) { return c == '"' || c == ',' || c == '\r' || c == '\n'; }

// CSV text in a buffer that grows as needed.
class CsvText {
public:
    std::string_view bytes() const { return std::string_view(buffer_.data(), used_); }
    std::size_t size() const { return used_; }
    void clear() { used_ = 0; }

    void field(std::string_view value) {
        room(2 * value.size() + 2);
        if (!copyTellingCsvQuotes(value, buffer_.data() + used_)) {
            used_ += value.size();
            return;
        }
        appendQuoted(value);
    }
    void text(std::string_view bytes) {
        if (bytes.empty()) return;
        room(bytes.size());
        std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void separator() {
        room(1);
        buffer_[used_++] = ',';
    }
    void lineEnd() { text("\r\n"); }

private:
    void room(std::size_t bytes) {
        if (buffer_.size() - used_ < bytes) buffer_.resize(std::max(2 * buffer_.size(), used_ + bytes));
    }
    void appendQuoted(std::string_view value) {
        char* out = buffer_.data() + used_;
        *out++ = '"';
        // Quotes inside are rare: the text between them goes across whole.
        for (std::size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
            std::memcpy(out, value.data(), quote + 1);
            out += quote + 1;
            *out++ = '"';
            value.remove_prefix(quote + 1);
        }
        if (!value.empty()) std::memcpy(out, value.data(), value.size());
        out += value.size();
        *out++ = '"';
        used_ = static_cast<std::size_t>(out - buffer_.data());
    }

    std::string buffer_ = std::string(kChunkBytes + 4096, '\0');
    std::size_t used_ = 0;
};

// Appends rows from `position` on until the text holds a chunk; returns the next position.
int appendRows(CsvText& text, const RecordSet& rows, const ViewCells& cells, std::size_t columns,
               int position, int count) {
    for (; position < count && text.size() < kChunkBytes; ++position) {
        const std::size_t row = rows.snapshotRow(position);
        text.field(cells.cell(0, row));
        for (std::size_t i = 1; i < columns; ++i) {
            text.separator();
            text.field(cells.cell(i, row));
        }
        text.lineEnd();
    }
    return position;
}

}  // namespace

// Eight bytes at a time, as nearly every value needs no quotes: one that does is written again, quoted,
// over its copy.
bool copyTellingCsvQuotes(std::string_view value, char* to) {
    const std::size_t size = value.size();
    std::uint64_t special = 0;
    std::size_t at = 0;
    for (std::uint64_t word = 0; at + sizeof word <= size; at += sizeof word) {
        std::memcpy(&word, value.data() + at, sizeof word);
        special |= static_cast<std::uint64_t>(hasSpecialByte(word));
        std::memcpy(to + at, &word, sizeof word);
    }
    for (; at < size; ++at) {
        special |= static_cast<std::uint64_t>(isSpecial(value[at]));
        to[at] = value[at];
    }
    return special != 0;
}

void exportViewCsv(const RecordSet& rows, const std::vector<ViewColumn>& columns, const std::string& path,
                   const FileSink& sink) {
    requireViewColumns(columns);
    try {
        StagedFile file(path, StagedFile::Existing::Replace, sink);
        CsvText writing;
        writing.text(kByteOrderMark);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) writing.separator();
            writing.field(columns[i].caption);
        }
        writing.lineEnd();
        CsvText making;
        const ViewCells cells(rows, columns);
        const int count = rows.recordCount();
        int position = 0;
        while (writing.size() > 0) {
            if (stopRequested()) throw Error(kViewExportStopped);
            making.clear();
            runOnTwoThreads(
                [&] { file.write(writing.bytes()); },
                [&] { position = appendRows(making, rows, cells, columns.size(), position, count); });
            std::swap(writing, making);
        }
        file.commit();
    } catch (const StagedFileError& failure) {
        throwViewExportError(failure, path);
    }
}

}  // namespace lumaref
