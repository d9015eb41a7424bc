#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// One row of a CSV text. Its fields point into the reader's buffer and live until the callback returns.
class CsvRow {
public:
    // The physical line the row starts on, from 1; line breaks inside quoted fields count.
    std::size_t line = 0;

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(begin, ends_[i] - begin);
    }
    // True when every field is empty (a blank line, or only separators).
    bool blank() const { return bytes_.empty(); }

private:
    friend class CsvRowReader;
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

// A quote out of place, or a quoted field still open at the end of the text.
struct CsvSyntaxError {
    std::size_t line;
    std::string reason;
};

// Walks the rows of a UTF-8 CSV text (RFC 4180 quoting, CR LF, LF or CR line ends) with the given
// separator. Every line break ends a row, so a blank line is a row without fields. Values are
// passed exactly as written: no blanks are trimmed, line breaks inside quotes are kept byte for
// byte. A quote inside a field that does not start with one (37°36'37.8"N) is a literal character,
// as common CSV readers take it; the lines where that happened go to `literalQuoteLines`, so the
// caller can warn. onRow returns false to stop early.
// Returns the syntax error that ended the walk, if any; rows before it have been passed. A record (a row's
// fields together) longer than kLongestLine is such an error, met before more than that is held.
// The time taken grows with the text's length and no faster, whatever it holds; a stop request
// (stop_request.h) throws Stopped between pieces.
using CsvRowCallback = std::function<bool(const CsvRow&)>;
// `firstLine` is the number of the text's first line, for a text that starts part-way into a file.
bool readCsvRows(std::string_view text, char separator, const CsvRowCallback& onRow,
                 CsvSyntaxError* error = nullptr, std::size_t firstLine = 1,
                 std::vector<std::size_t>* literalQuoteLines = nullptr);

// The same for a search that takes any line that is not CSV with this separator (or starts a record
// longer than kLongestLine) for no row: the walk goes on from the line after it, up to `lastLine`.
void readCsvRowsSkippingBadLines(std::string_view text, char separator, const CsvRowCallback& onRow,
                                 std::size_t lastLine = std::numeric_limits<std::size_t>::max());

// What the reader did with such quotes, naming the lines: "a quote inside a field that does not start
// with one was read as a character, on line 4" (or "on lines 4, 9"); empty when there were none.
std::string literalQuoteWarning(const std::vector<std::size_t>& literalQuoteLines);

// How many rows of `text` to reserve room for ahead: its line count, bounded so that a text of mostly
// empty lines, or a huge one, does not make a reader reserve far more than the text itself holds.
std::size_t rowsWorthReserving(std::string_view text);

// Where physical line `line` (from 1) of a text begins; the text's size when it has fewer lines.
std::size_t csvLineOffset(std::string_view text, std::size_t line);

}  // namespace lumaref
