#include "exchange/view_csv.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "db/record_set.h"
#include "filter/two_thread_scan.h"
#include "text/stop_request.h"

namespace lumaref {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A round's text starts at this size and grows when its rows need more.
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

// Eight bytes at a time, as nearly every value needs no quotes (one that does is written again, quoted,
// over its copy). The last word of a value of eight bytes or more overlaps the one before it.
inline bool copyTellingQuotes(std::string_view value, char* to) {
    const std::size_t size = value.size();
    std::uint64_t word = 0;
    if (size < sizeof word) {
        bool special = false;
        for (std::size_t at = 0; at < size; ++at) {
            special = special || isSpecial(value[at]);
            to[at] = value[at];
        }
        return special;
    }
    std::uint64_t special = 0;
    for (std::size_t at = 0; at + sizeof word < size; at += sizeof word) {
        std::memcpy(&word, value.data() + at, sizeof word);
        special |= static_cast<std::uint64_t>(hasSpecialByte(word));
        std::memcpy(to + at, &word, sizeof word);
    }
    std::memcpy(&word, value.data() + size - sizeof word, sizeof word);
    special |= static_cast<std::uint64_t>(hasSpecialByte(word));
    std::memcpy(to + size - sizeof word, &word, sizeof word);
    return special != 0;
}

// CSV text in a buffer that grows as needed.
class CsvText {
public:
    std::string_view bytes() const { return std::string_view(buffer_.data(), used_); }
    std::size_t size() const { return used_; }
    void clear() { used_ = 0; }

    void field(std::string_view value) {
        room(2 * value.size() + 2);
        used_ = static_cast<std::size_t>(copyField(value, buffer_.data() + used_) - buffer_.data());
    }
    // A whole line: one check for room, then the values copied without another.
    void line(std::span<const std::string_view> values) {
        std::size_t most = 2;
        for (const std::string_view value : values) most += 2 * value.size() + 3;
        room(most);
        char* out = buffer_.data() + used_;
        out = copyField(values[0], out);
        for (std::size_t i = 1; i < values.size(); ++i) {
            *out++ = ',';
            out = copyField(values[i], out);
        }
        *out++ = '\r';
        *out++ = '\n';
        used_ = static_cast<std::size_t>(out - buffer_.data());
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
    // Copies `value` to `out`, quoted when it must be; returns the end of the copy.
    static char* copyField(std::string_view value, char* out) {
        if (!copyTellingQuotes(value, out)) return out + value.size();
        return copyQuoted(value, out);
    }
    static char* copyQuoted(std::string_view value, char* out) {
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
        return out;
    }

    std::string buffer_ = std::string(kChunkBytes + 4096, '\0');
    std::size_t used_ = 0;
};

// Appends the visible rows [first, end).
void appendRows(CsvText& text, const RecordSet& rows, const ViewCells& cells, std::size_t columns, int first,
                int end) {
    std::vector<std::string_view> values(columns);
    for (int position = first; position < end; ++position) {
        const std::size_t row = rows.snapshotRow(position);
        for (std::size_t i = 0; i < columns; ++i) values[i] = cells.cell(i, row);
        text.line(values);
    }
}

// Each round both threads make rows while one of them also writes the round before: the share of rows
// the writing thread makes follows whichever thread finished first, so neither waits long for the other.
class RoundSplit {
public:
    int writerRows() const { return writerRows_; }
    void balance(std::chrono::steady_clock::duration writer, std::chrono::steady_clock::duration maker) {
        writerRows_ = std::clamp(writerRows_ + (writer > maker ? -kStep : kStep), kStep, kRoundRows - kStep);
    }

    static constexpr int kRoundRows = 8192;

private:
    static constexpr int kStep = kRoundRows / 64;
    int writerRows_ = kRoundRows / 4;
};

}  // namespace

bool copyTellingCsvQuotes(std::string_view value, char* to) { return copyTellingQuotes(value, to); }

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
        CsvText second;  // the maker thread's rows, after the writer's
        std::array<CsvText*, 2> written = {&writing, &second};
        CsvText madeHere;
        CsvText madeThere;
        std::array<CsvText*, 2> made = {&madeHere, &madeThere};
        const ViewCells cells(rows, columns);
        const int count = rows.recordCount();
        RoundSplit split;
        for (int position = 0; written[0]->size() + written[1]->size() > 0;) {
            if (stopRequested()) throw Error(kViewExportStopped);
            const int middle = std::min(count, position + split.writerRows());
            const int end = std::min(count, position + RoundSplit::kRoundRows);
            made[0]->clear();
            made[1]->clear();
            std::chrono::steady_clock::duration writer{};
            std::chrono::steady_clock::duration maker{};
            runOnTwoThreads(
                [&] {
                    const auto start = std::chrono::steady_clock::now();
                    for (const CsvText* text : written) file.write(text->bytes());
                    appendRows(*made[0], rows, cells, columns.size(), position, middle);
                    writer = std::chrono::steady_clock::now() - start;
                },
                [&] {
                    const auto start = std::chrono::steady_clock::now();
                    appendRows(*made[1], rows, cells, columns.size(), middle, end);
                    maker = std::chrono::steady_clock::now() - start;
                });
            split.balance(writer, maker);
            position = end;
            std::swap(written, made);
        }
        file.commit();
    } catch (const StagedFileError& failure) {
        throwViewExportError(failure, path);
    }
}

}  // namespace lumaref
