#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace lumaref {

struct CsvLoadRequest {
    std::string csvPath;
    std::string databasePath;
    std::string table;
    bool append = false;  // otherwise the table's rows are replaced
    // Called now and then while rows are read, with the count so far.
    std::function<void(std::size_t rowsRead)> progress;
};

struct CsvLineText {
    std::size_t line = 0;
    std::string text;
};

struct CsvLoadReport {
    std::string table;  // as the database spells it
    char separator = ',';
    std::size_t headerLine = 0;
    std::size_t rowsLoaded = 0;
    std::size_t rowsReplaced = 0;  // rows the table held before, now gone (0 with append)
    std::size_t linesBeforeHeader = 0;
    std::size_t blankLines = 0;      // blank lines and rows of empty fields, skipped
    std::vector<CsvLineText> notes;  // single-field lines after the last data row, skipped
    std::vector<std::string> ignoredColumns;
    std::size_t badIssnCount = 0;
    std::vector<CsvLineText> badIssnExamples;    // the first few
    std::vector<std::size_t> literalQuoteLines;  // a quote inside an unquoted field, read as a character
    std::size_t linesSkipped() const { return linesBeforeHeader + blankLines + notes.size(); }
};

inline constexpr std::size_t kCsvExampleCount = 5;
inline constexpr std::size_t kCsvProgressEvery = 4096;

// Loads a CSV file into a table of an existing Lumaref database in one transaction: the table keeps
// its old rows or gets all the new ones, even if the process dies part-way. Values are stored as the
// text written in the file. Throws Error with a message naming the problem, and Stopped at a stop
// request (stop_request.h); the database is then unchanged.
CsvLoadReport loadCsvIntoTable(const CsvLoadRequest& request);

}  // namespace lumaref
