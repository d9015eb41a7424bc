#include "text/csv_rows.h"

#include <csv.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/stopped.h"
#include "text/text_file.h"

namespace lumaref {

namespace {

constexpr char kQuote = '"';

// Line breaks inside a text: CR LF, LF and a lone CR each count once.
std::size_t countLineBreaks(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineFeed = text[i] == '\n';
        const bool loneCarriageReturn = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        if (lineFeed || loneCarriageReturn) ++count;
    }
    return count;
}

// Fed to libcsv in pieces, so that a caller that has seen enough, a stop request or a record past the
// limit ends the walk early.
constexpr std::size_t kPiece = std::size_t{64} * 1024;
// libcsv grows its field buffer by its block size at a time. Its default of 128 bytes made reading one
// long quoted field quadratic; the block starts at this and is set to the buffer's size after each
// piece, so the buffer doubles.
constexpr std::size_t kFirstBlock = 4096;

// Physical line numbers of offsets into a text, asked for in rising order (a lower one starts over).
class LineCounter {
public:
    LineCounter(std::string_view text, std::size_t firstLine) : text_(text), firstLine_(firstLine) {}

    std::size_t lineAt(std::size_t offset) {
        if (offset < counted_) {
            counted_ = 0;
            breaks_ = 0;
        }
        for (; counted_ < offset && counted_ < text_.size(); ++counted_) {
            const char c = text_[counted_];
            const bool loneCarriageReturn =
                c == '\r' && (counted_ + 1 == text_.size() || text_[counted_ + 1] != '\n');
            if (c == '\n' || loneCarriageReturn) ++breaks_;
        }
        return firstLine_ + breaks_;
    }

    // Where the line after the one holding `offset` begins; the text's size when there is none.
    std::size_t nextLineStart(std::size_t offset) const {
        const std::size_t end = text_.find_first_of("\r\n", offset);
        if (end == std::string_view::npos) return text_.size();
        return end + (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n' ? 2 : 1);
    }

private:
    std::string_view text_;
    std::size_t firstLine_;
    std::size_t counted_ = 0;
    std::size_t breaks_ = 0;
};

// Where the quotes of a text stand, found by jumping from quote to quote. libcsv, when not strict, takes
// a quote inside a field that does not start with one as a character, as wanted, but it also takes text
// after a closing quote, which is refused: the scan finds that, and the literal quotes on the way.
class QuoteScan {
public:
    QuoteScan(std::string_view text, char separator) : text_(text), separator_(separator) {}

    // From `from`, where a field starts: the offset of the first character that follows a closing quote
    // (npos when none does); each literal quote met before it goes to `literal`.
    template <typename Literal>
    std::size_t nextError(std::size_t from, Literal literal) {
        bool quoted = false;
        for (std::size_t at = nextQuote(from); at != std::string_view::npos; at = nextQuote(at)) {
            if (!quoted) {
                if (at == from || delimiter(text_[at - 1])) {
                    quoted = true;
                    openedAt_ = at;
                } else {
                    literal(at);
                }
                ++at;
                continue;
            }
            if (at + 1 < text_.size() && text_[at + 1] == kQuote) {
                at += 2;
                continue;
            }
            quoted = false;
            ++at;
            if (at < text_.size() && !delimiter(text_[at])) return at;
        }
        openedAt_ = quoted ? openedAt_ : std::string_view::npos;
        return std::string_view::npos;
    }

    // After a scan that found no error: where the quoted field still open at the end begins, or npos.
    std::size_t openQuote() const { return openedAt_; }

private:
    bool delimiter(char c) const { return c == separator_ || c == '\r' || c == '\n'; }

    // Quotes come one by one in most texts and in runs in some: the next few bytes are looked at in
    // place, farther ones by one library call.
    std::size_t nextQuote(std::size_t at) const {
        for (const std::size_t near = std::min(at + 32, text_.size()); at < near; ++at) {
            if (text_[at] == kQuote) return at;
        }
        return text_.find(kQuote, at);
    }

    std::string_view text_;
    char separator_;
    std::size_t openedAt_ = std::string_view::npos;
};

// Values are kept as written, so nothing counts as a blank to trim.
int noBlanks(unsigned char) { return 0; }

constexpr std::string_view kTextAfterClosingQuote =
    "a quote stands inside a field that does not start with one, or a closing quote is followed by other "
    "text";
constexpr std::string_view kOpenQuote = "a quoted field is not closed before the end of the file";
constexpr std::string_view kLongRecord = "the record starting there is longer than 1 MiB";

}  // namespace

// Collects libcsv's field and row callbacks into CsvRow objects and counts physical lines.
class CsvRowReader {
public:
    CsvRowReader(const CsvRowCallback& onRow, std::size_t firstLine) : onRow_(onRow), line_(firstLine) {
        row_.line = firstLine;
    }

    static void onField(void* data, std::size_t size, void* self) {
        static_cast<CsvRowReader*>(self)->addField(static_cast<const char*>(data), size);
    }
    static void onRowEnd(int terminator, void* self) { static_cast<CsvRowReader*>(self)->endRow(terminator); }

    // The caller has seen enough, or a record went past the limit: nothing more is passed on.
    bool stopped() const { return stopped_ || tooLong_; }
    // With `pending` bytes of a field still in libcsv's buffer.
    bool tooLong(std::size_t pending) const {
        return tooLong_ || row_.bytes_.size() + pending > kLongestLine;
    }
    std::size_t rowLine() const { return row_.line; }

private:
    void addField(const char* data, std::size_t size) {
        afterCarriageReturn_ = false;
        if (stopped()) return;
        if (row_.ends_.empty()) {
            row_.line = line_;
        }
        if (row_.bytes_.size() + size > kLongestLine) {
            tooLong_ = true;
            return;
        }
        if (size > 0) {
            const std::string_view field(data, size);
            row_.bytes_.append(field);
            // Only a quoted field holds line breaks; fields are short, so one plain pass is cheapest.
            if (std::any_of(field.begin(), field.end(), [](char c) { return c == '\n' || c == '\r'; })) {
                line_ += countLineBreaks(field);
            }
        }
        row_.ends_.push_back(row_.bytes_.size());
    }

    void endRow(int terminator) {
        // libcsv reports the LF of a CR LF as a row of its own; it is the same line end.
        const bool secondHalfOfCrLf = terminator == '\n' && afterCarriageReturn_ && row_.ends_.empty();
        afterCarriageReturn_ = terminator == '\r';
        if (secondHalfOfCrLf || stopped()) {
            return;
        }
        if (row_.ends_.empty()) {
            row_.line = line_;
        }
        if (!onRow_(row_)) {
            stopped_ = true;
        }
        row_.bytes_.clear();
        row_.ends_.clear();
        if (terminator == '\n' || terminator == '\r') {
            ++line_;
        }
        row_.line = line_;
    }

    const CsvRowCallback& onRow_;
    CsvRow row_;
    std::size_t line_;
    bool afterCarriageReturn_ = false;
    bool stopped_ = false;
    bool tooLong_ = false;
};

namespace {

// One walk over a text, from parser start to parser start: a text with bad lines skipped is walked
// again from the line after each.
class CsvWalk {
public:
    CsvWalk(std::string_view text, char separator, const CsvRowCallback& onRow, std::size_t firstLine,
            std::vector<std::size_t>* literalQuoteLines)
        : text_(text),
          separator_(separator),
          onRow_(onRow),
          lines_(text, firstLine),
          scan_(text, separator),
          literalQuoteLines_(literalQuoteLines) {
        // Not strict: a quote inside an unquoted field is a character; the scan finds what strictness
        // would refuse.
        ready_ = csv_init(&parser_, CSV_REPALL_NL) == 0;
        csv_set_delim(&parser_, static_cast<unsigned char>(separator_));
        csv_set_space_func(&parser_, noBlanks);
        csv_set_blk_size(&parser_, kFirstBlock);
    }
    ~CsvWalk() { csv_free(&parser_); }
    CsvWalk(const CsvWalk&) = delete;
    CsvWalk& operator=(const CsvWalk&) = delete;

    std::size_t lineAt(std::size_t offset) { return lines_.lineAt(offset); }

    // Walks the rows from `start`, a line start. Returns true at the end of the text or when the caller
    // has seen enough; otherwise the error, with `resume` set to where a walk that skips bad lines goes on.
    bool walk(std::size_t start, CsvSyntaxError& error, std::size_t& resume) {
        if (!ready_) {
            error = CsvSyntaxError{lines_.lineAt(start), "out of memory"};
            resume = text_.size();
            return false;
        }
        // One parser for every walk, its buffer kept: finishing without callbacks drops what a walk
        // given up left in it.
        csv_fini(&parser_, nullptr, nullptr, nullptr);
        return walkWith(parser_, start, error, resume);
    }

private:
    bool walkWith(csv_parser& parser, std::size_t start, CsvSyntaxError& error, std::size_t& resume) {
        const std::size_t startLine = lines_.lineAt(start);
        CsvRowReader reader(onRow_, startLine);
        const std::size_t bad = scan_.nextError(start, [this](std::size_t at) {
            if (literalQuoteLines_ == nullptr) return;
            const std::size_t line = lines_.lineAt(at);
            if (literalQuoteLines_->empty() || literalQuoteLines_->back() != line)
                literalQuoteLines_->push_back(line);
        });
        const std::size_t end = bad == std::string_view::npos ? text_.size() : bad;
        for (std::size_t offset = start; offset < end;) {
            stopIfRequested();
            const std::size_t size = std::min(kPiece, end - offset);
            const std::size_t used = csv_parse(&parser, text_.data() + offset, size, CsvRowReader::onField,
                                               CsvRowReader::onRowEnd, &reader);
            csv_set_blk_size(&parser, std::max(kFirstBlock, parser.entry_size));
            if (reader.tooLong(parser.entry_pos)) {
                error = CsvSyntaxError{reader.rowLine(), std::string(kLongRecord)};
                resume = afterRowStart(start, startLine, reader.rowLine());
                return false;
            }
            if (reader.stopped()) return true;
            if (used != size) {
                error = CsvSyntaxError{lines_.lineAt(offset + used), "out of memory"};
                resume = text_.size();
                return false;
            }
            offset += size;
        }
        if (bad != std::string_view::npos) {
            error = CsvSyntaxError{lines_.lineAt(bad), std::string(kTextAfterClosingQuote)};
            resume = lines_.nextLineStart(bad);
            return false;
        }
        // libcsv finds a field left open only when strict throughout; the scan knows it anyway.
        if (scan_.openQuote() != std::string_view::npos) {
            error = CsvSyntaxError{reader.rowLine(), std::string(kOpenQuote)};
            resume = afterRowStart(start, startLine, reader.rowLine());
            return false;
        }
        csv_fini(&parser, CsvRowReader::onField, CsvRowReader::onRowEnd, &reader);
        if (reader.tooLong(0)) {
            error = CsvSyntaxError{reader.rowLine(), std::string(kLongRecord)};
            resume = text_.size();
            return false;
        }
        return true;
    }

    // Where the line after a row's first line begins, the walk having started at `start` on `startLine`.
    std::size_t afterRowStart(std::size_t start, std::size_t startLine, std::size_t rowLine) const {
        return lines_.nextLineStart(start + csvLineOffset(text_.substr(start), rowLine - startLine + 1));
    }

    std::string_view text_;
    char separator_;
    const CsvRowCallback& onRow_;
    LineCounter lines_;
    QuoteScan scan_;
    std::vector<std::size_t>* literalQuoteLines_;
    csv_parser parser_{};
    bool ready_ = false;
};

}  // namespace

std::string literalQuoteWarning(const std::vector<std::size_t>& literalQuoteLines) {
    if (literalQuoteLines.empty()) return {};
    std::string text = "a quote inside a field that does not start with one was read as a character, on line";
    text += literalQuoteLines.size() == 1 ? " " : "s ";
    for (std::size_t i = 0; i < literalQuoteLines.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(literalQuoteLines[i]);
    }
    return text;
}

std::size_t rowsWorthReserving(std::string_view text) {
    constexpr std::size_t kFewestBytesPerRow = 32;
    constexpr std::size_t kMostRows = 2'000'000;
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return std::min({lines, text.size() / kFewestBytesPerRow, kMostRows});
}

std::size_t csvLineOffset(std::string_view text, std::size_t line) {
    std::size_t offset = 0;
    for (std::size_t current = 1; current < line; ++current) {
        const std::size_t end = text.find_first_of("\r\n", offset);
        if (end == std::string_view::npos) return text.size();
        offset = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return offset;
}

bool readCsvRows(std::string_view text, char separator, const CsvRowCallback& onRow, CsvSyntaxError* error,
                 std::size_t firstLine, std::vector<std::size_t>* literalQuoteLines) {
    CsvWalk walk(text, separator, onRow, firstLine, literalQuoteLines);
    CsvSyntaxError failure;
    std::size_t resume = 0;
    if (walk.walk(0, failure, resume)) return true;
    if (error != nullptr) *error = std::move(failure);
    return false;
}

void readCsvRowsSkippingBadLines(std::string_view text, char separator, const CsvRowCallback& onRow,
                                 std::size_t lastLine) {
    CsvWalk walk(text, separator, onRow, 1, nullptr);
    CsvSyntaxError failure;
    for (std::size_t start = 0; start < text.size() && walk.lineAt(start) <= lastLine;) {
        std::size_t resume = text.size();
        if (walk.walk(start, failure, resume)) return;
        start = std::max(resume, start + 1);
    }
}

}  // namespace lumaref
