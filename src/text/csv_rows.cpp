#include "text/csv_rows.h"

#include <csv.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace lumaref {

namespace {

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

// True when every quote of the text opens a field, closes it or is doubled inside it, as in nearly every
// file: then no field needs rewriting, found by jumping from quote to quote. Anything else (a quote
// inside an unquoted field, text after a closing quote) is left to the full scan below.
bool onlyFieldQuotes(std::string_view text, char separator) {
    const auto delimiter = [separator](char c) { return c == separator || c == '\r' || c == '\n'; };
    bool quoted = false;
    for (std::size_t at = text.find('"'); at != std::string_view::npos; at = text.find('"', at)) {
        if (quoted) {
            if (at + 1 < text.size() && text[at + 1] == '"') {
                at += 2;
                continue;
            }
            quoted = false;
            ++at;
            if (at < text.size() && !delimiter(text[at])) return false;
        } else {
            if (at > 0 && !delimiter(text[at - 1])) return false;
            quoted = true;
            ++at;
        }
    }
    return true;
}

// An unquoted field with a quote inside, rewritten as the quoted field that means the same text, so
// the strict parser takes the quote as a literal character. Line breaks stay where they are, so
// line numbers do not change. nullopt when no field needs it (the common case: no copy is made).
std::optional<std::string> quoteFieldsWithLiteralQuotes(std::string_view text, char separator,
                                                        std::size_t firstLine,
                                                        std::vector<std::size_t>* lines) {
    enum class State : std::uint8_t { FieldStart, Quoted, AfterClosingQuote, Unquoted };
    State state = State::FieldStart;
    std::size_t line = firstLine;
    std::size_t fieldStart = 0;
    bool literalQuote = false;
    std::optional<std::string> rewritten;
    std::size_t copiedUpTo = 0;
    const auto endField = [&](std::size_t end) {
        if (literalQuote) {
            if (!rewritten) rewritten.emplace();
            rewritten->append(text.substr(copiedUpTo, fieldStart - copiedUpTo));
            *rewritten += '"';
            for (const char c : text.substr(fieldStart, end - fieldStart)) {
                if (c == '"') *rewritten += '"';
                *rewritten += c;
            }
            *rewritten += '"';
            copiedUpTo = end;
        }
        literalQuote = false;
        state = State::FieldStart;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineBreak = c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        switch (state) {
            case State::FieldStart:
                if (c == '"') {
                    state = State::Quoted;
                } else if (c != separator && c != '\r' && c != '\n') {
                    state = State::Unquoted;
                    fieldStart = i;
                }
                break;
            case State::Quoted:
                if (c == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        ++i;
                    } else {
                        state = State::AfterClosingQuote;
                    }
                }
                break;
            case State::AfterClosingQuote:  // text after a closing quote stays the parser's error
                if (c == separator || c == '\r' || c == '\n') state = State::FieldStart;
                break;
            case State::Unquoted:
                if (c == '"') {
                    if (!literalQuote && lines != nullptr && (lines->empty() || lines->back() != line)) {
                        lines->push_back(line);
                    }
                    literalQuote = true;
                } else if (c == separator || c == '\r' || c == '\n') {
                    endField(i);
                }
                break;
        }
        if (lineBreak) ++line;
    }
    if (state == State::Unquoted) endField(text.size());
    if (rewritten) rewritten->append(text.substr(copiedUpTo));
    return rewritten;
}

// Values are kept as written, so nothing counts as a blank to trim.
int noBlanks(unsigned char) { return 0; }

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

    bool stopped() const { return stopped_; }
    std::size_t line() const { return line_; }
    std::size_t rowLine() const { return row_.line; }

private:
    void addField(const char* data, std::size_t size) {
        afterCarriageReturn_ = false;
        if (row_.ends_.empty()) {
            row_.line = line_;
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
        if (secondHalfOfCrLf) {
            return;
        }
        if (row_.ends_.empty()) {
            row_.line = line_;
        }
        if (!stopped_ && !onRow_(row_)) {
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
};

std::string literalQuoteWarning(const std::vector<std::size_t>& literalQuoteLines) {
    if (literalQuoteLines.empty()) return {};
    std::string text = "a quote inside a field that does not start with one was read as a character, on line";
    text += literalQuoteLines.size() == 1 ? " " : "s ";
    for (std::size_t i = 0; i < literalQuoteLines.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(literalQuoteLines[i]);
    }
    return text;
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
    const std::optional<std::string> rewritten =
        onlyFieldQuotes(text, separator)
            ? std::nullopt
            : quoteFieldsWithLiteralQuotes(text, separator, firstLine, literalQuoteLines);
    if (rewritten) text = *rewritten;
    csv_parser parser{};
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) {
        if (error != nullptr) {
            *error = CsvSyntaxError{firstLine, "out of memory"};
        }
        return false;
    }
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    csv_set_space_func(&parser, noBlanks);

    CsvRowReader reader(onRow, firstLine);
    // Fed in pieces, so that a caller that has seen enough stops the walk early.
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    std::size_t offset = 0;
    bool ok = true;
    while (offset < text.size() && !reader.stopped()) {
        const std::size_t size = std::min(kPiece, text.size() - offset);
        const std::size_t used = csv_parse(&parser, text.data() + offset, size, CsvRowReader::onField,
                                           CsvRowReader::onRowEnd, &reader);
        if (used != size) {
            ok = false;
            if (error != nullptr) {
                // The bad quote sits on the row being read; count lines up to it.
                const std::string_view before = text.substr(0, offset + used);
                *error = CsvSyntaxError{countLineBreaks(before) + firstLine,
                                        "a quote stands inside a field that does not start with one, or "
                                        "a closing quote is followed by other text"};
            }
            break;
        }
        offset += size;
    }
    if (ok && !reader.stopped() &&
        csv_fini(&parser, CsvRowReader::onField, CsvRowReader::onRowEnd, &reader) != 0) {
        ok = false;
        if (error != nullptr) {
            *error =
                CsvSyntaxError{reader.rowLine(), "a quoted field is not closed before the end of the file"};
        }
    }
    csv_free(&parser);
    return ok;
}

}  // namespace lumaref
