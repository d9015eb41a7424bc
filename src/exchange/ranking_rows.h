#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ranking_header.h"
#include "text/csv_rows.h"

namespace lumaref {

// What a ranking file's reader makes of one data row: empty to go on, else why the file is refused.
using RankingRowReader = std::function<std::string(const CsvRow&)>;

// The data rows under `header` of `text`, blank lines skipped, each given to `onRow`. A row it refuses,
// or text that is no CSV, throws Error naming `file` and the line, and that nothing was loaded.
void readRankingRows(std::string_view text, const RankingHeader& header, const std::string& file,
                     std::vector<std::size_t>& literalQuoteLines, const RankingRowReader& onRow);

// The refusal of a row of `fields` fields where the header has `expected` ("5", "5 or more").
std::string fieldCountRefusal(const std::string& file, std::size_t fields, std::size_t line,
                              const std::string& expected);

}  // namespace lumaref
