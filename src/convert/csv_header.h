#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// The columns a table's CSV file must name: what the ranking updates read from jcr2018 and the
// quartile tables, and for any other table its NOT NULL columns without a default.
struct TableColumn {
    std::string name;
    bool notNullWithoutDefault = false;
    bool yesNo = false;  // declared BOOLEAN: stored as 0/1, not as the text of the file
};
std::vector<std::string> requiredColumns(std::string_view table, const std::vector<TableColumn>& columns);

// The header row of a CSV text: the first row, with one of the accepted separators, that names every
// required column and at least one column of the table. Names match in any letter case, blanks around
// them ignored.
struct CsvHeader {
    char separator = ',';
    std::size_t line = 0;    // physical line, from 1
    std::size_t offset = 0;  // where that line begins in the text
    std::vector<std::string> names;
};

// The row that came nearest to being the header, for the message when none is found.
struct CsvHeaderMiss {
    std::vector<std::string> missing;  // required columns the nearest row lacks
    std::size_t line = 0;              // 0: the text has no row at all
    std::vector<std::string> names;
};

inline constexpr char kCsvSeparators[] = {',', ';', '\t'};

std::optional<CsvHeader> findCsvHeader(std::string_view text, const std::vector<std::string>& required,
                                       const std::vector<std::string>& tableColumns, CsvHeaderMiss* miss);

}  // namespace lumaref
