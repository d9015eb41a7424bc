#include "exchange/own_list_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "exchange/ranking_columns.h"
#include "exchange/ranking_rows.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/issn_form.h"

namespace lumaref {

namespace {

constexpr ColumnNames kIssnColumn{{"ISSN", "Print ISSN", "p-ISSN", "pISSN"}};
constexpr ColumnNames kEIssnColumn{{"E-ISSN", "eISSN", "Online ISSN", "e ISSN"}};
constexpr ColumnNames kTitleColumn{{"Title", "Journal title", "Journal name", "Journal"}};

}  // namespace

const std::string_view kOwnListColumnsText = "\"ISSN\" or \"E-ISSN\" (with any other columns)";

bool isOwnListHeader(std::span<const std::string> names) {
    return findColumn(names, kIssnColumn) || findColumn(names, kEIssnColumn);
}

RankingRead readOwnListFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                            const std::string& name, std::optional<int> year) {
    const std::string file = "The list \"" + fileName + "\"";
    if (trimmed(name).empty()) throw Error("An own list needs a name." + std::string(kNothingLoaded));
    const std::optional<std::size_t> issnAt = findColumn(header.names, kIssnColumn);
    const std::optional<std::size_t> eIssnAt = findColumn(header.names, kEIssnColumn);
    const std::optional<std::size_t> titleAt = findColumn(header.names, kTitleColumn);
    RankingRead read{RankingFigures(std::string(trimmed(name)), year), {}};
    RankingFigures& figures = read.figures;
    // The value columns, each with its metric's number.
    std::vector<std::pair<std::size_t, std::uint32_t>> metrics;
    for (std::size_t i = 0; i < header.names.size(); ++i) {
        if (i == issnAt || i == eIssnAt || i == titleAt || header.names[i].empty()) continue;
        metrics.emplace_back(i, figures.nameNumber(header.names[i]));
    }
    const bool decimalComma = header.separator != ',';
    const std::size_t lines = rowsWorthReserving(text);
    // A wide list of mostly empty cells holds far fewer figures than cells.
    figures.reserve(lines, std::min(lines * metrics.size(), text.size() / 8));
    readRankingRows(text, header, file, read.report.literalQuoteLines, [&](const CsvRow& row) -> std::string {
        if (row.size() < header.names.size()) {
            return fieldCountRefusal(file, row.size(), row.line, std::to_string(header.names.size()));
        }
        ++read.report.rows;
        std::string issn = issnAt ? printedIssn(row[*issnAt]).value_or("") : std::string();
        std::string eIssn = eIssnAt ? printedIssn(row[*eIssnAt]).value_or("") : std::string();
        if (issn.empty() && eIssn.empty()) {
            ++read.report.rowsWithoutIssn;
            return {};
        }
        const std::uint32_t entry =
            figures.addJournal({std::move(issn), std::move(eIssn),
                                titleAt ? std::string(trimmed(row[*titleAt])) : std::string()});
        for (const auto& [column, metric] : metrics)
            figures.add(entry, 0, metric, plainNumber(row[column], decimalComma));
        return {};
    });
    figures.finish();
    return read;
}

}  // namespace lumaref
