#include "exchange/ranking_rows.h"

#include "text/error.h"

namespace lumaref {

void readRankingRows(std::string_view text, const RankingHeader& header, const std::string& file,
                     std::vector<std::size_t>& literalQuoteLines, const RankingRowReader& onRow) {
    std::string refusal;
    CsvSyntaxError syntax;
    bool atHeader = true;
    // The reader's refusal cannot be thrown through the CSV parser: it ends the walk and is thrown after.
    const bool ok = readCsvRows(
        text.substr(csvLineOffset(text, header.line)), header.separator,
        [&](const CsvRow& row) {
            if (atHeader) {
                atHeader = false;
                return true;
            }
            if (row.blank()) return true;
            refusal = onRow(row);
            return refusal.empty();
        },
        &syntax, header.line, &literalQuoteLines);
    if (!refusal.empty()) throw Error(refusal + std::string(kNothingLoaded));
    if (!ok)
        throw Error(file + ", line " + std::to_string(syntax.line) + ": " + syntax.reason + "." +
                    std::string(kNothingLoaded));
}

std::string fieldCountRefusal(const std::string& file, std::size_t fields, std::size_t line,
                              const std::string& expected) {
    return file + " has " + std::to_string(fields) + " fields on line " + std::to_string(line) +
           " where the header has " + expected + ".";
}

}  // namespace lumaref
