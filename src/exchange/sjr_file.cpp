#include "exchange/sjr_file.h"

#include <array>
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

enum SjrColumn : std::uint8_t { kTitle, kIssn, kSjr, kBestQuartile, kHIndex, kCategories, kColumnCount };
constexpr ColumnNames kSjrColumns[kColumnCount] = {
    {{"Title"}}, {{"Issn"}}, {{"SJR"}}, {{"SJR Best Quartile"}}, {{"H index"}}, {{"Categories"}},
};

// "Total Docs. (2023)" -> 2023.
std::optional<int> headerYear(std::span<const std::string> names) {
    constexpr std::string_view kPrefix = "Total Docs. (";
    for (const std::string& name : names) {
        if (name.size() == kPrefix.size() + 5 &&
            equalsIgnoringAsciiCase(name.substr(0, kPrefix.size()), kPrefix) && name.back() == ')') {
            int year = 0;
            for (const char c : name.substr(kPrefix.size(), 4)) {
                if (c < '0' || c > '9') return std::nullopt;
                year = year * 10 + (c - '0');
            }
            return year;
        }
    }
    return std::nullopt;
}

// "Oncology (Q1)" -> {"Oncology", "Q1"}; a category without a quartile has an empty one.
std::pair<std::string_view, std::string_view> categoryAndQuartile(std::string_view text) {
    text = trimmed(text);
    if (text.size() > 5 && text.substr(text.size() - 5, 3) == " (Q" && text.back() == ')' &&
        text[text.size() - 2] >= '1' && text[text.size() - 2] <= '4') {
        return {trimmed(text.substr(0, text.size() - 5)), text.substr(text.size() - 3, 2)};
    }
    return {text, {}};
}

}  // namespace

const std::string_view kSjrColumnsText =
    "\"Title\", \"Issn\", \"SJR\", \"SJR Best Quartile\", \"H index\" and \"Categories\"";

bool isSjrHeader(std::span<const std::string> names) { return hasColumns(names, kSjrColumns); }

RankingRead readSjrFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                        std::optional<int> year) {
    const std::string file = "The SJR download \"" + fileName + "\"";
    if (!year) year = headerYear(header.names);
    if (!year) {
        throw Error(file + " names no year: its header has no \"Total Docs. (YYYY)\" column. Give the year." +
                    std::string(kNothingLoaded));
    }
    std::array<std::size_t, kColumnCount> at{};
    for (std::size_t c = 0; c < kColumnCount; ++c) at[c] = *findColumn(header.names, kSjrColumns[c]);
    RankingRead read{RankingFigures(std::string(kSjrSource), year), {}};
    RankingFigures& figures = read.figures;
    const std::uint32_t sjr = figures.nameNumber("SJR");
    const std::uint32_t sjrQuartile = figures.nameNumber("SJR Quartile");
    const std::uint32_t bestQuartile = figures.nameNumber("SJR Best Quartile");
    const std::uint32_t hIndex = figures.nameNumber("H index");
    const std::size_t width = header.names.size();
    std::vector<std::string> joined;
    readRankingRows(text, header, file, read.report.literalQuoteLines, [&](const CsvRow& row) -> std::string {
        // A list field written without its quotes was split at its "; ": its pieces start with the blank.
        const bool split = row.size() > width;
        if (split) {
            joined.clear();
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i > 0 && !row[i].empty() && row[i][0] == ' ') {
                    joined.back() += ';';
                    joined.back() += row[i];
                } else {
                    joined.emplace_back(row[i]);
                }
            }
        }
        const std::size_t fields = split ? joined.size() : row.size();
        if (fields != width) {
            return fieldCountRefusal(file, fields, row.line, std::to_string(width));
        }
        const auto field = [&](SjrColumn c) -> std::string_view {
            return split ? joined[at[c]] : row[at[c]];
        };
        ++read.report.rows;
        std::array<std::string, 2> numbers;
        std::size_t found = 0;
        std::string_view issns = field(kIssn);
        while (!issns.empty() && found < numbers.size()) {
            const std::size_t comma = issns.find(',');
            if (std::optional<std::string> issn = printedIssn(issns.substr(0, comma)))
                numbers[found++] = std::move(*issn);
            issns = comma == std::string_view::npos ? std::string_view() : issns.substr(comma + 1);
        }
        if (found == 0) {
            ++read.report.rowsWithoutIssn;
            return {};
        }
        const std::uint32_t entry = figures.addJournal(
            {std::move(numbers[0]), std::move(numbers[1]), std::string(trimmed(field(kTitle)))});
        figures.add(entry, 0, sjr, plainNumber(field(kSjr), true));
        const std::string_view best = trimmed(field(kBestQuartile));
        if (best != "-") figures.add(entry, 0, bestQuartile, std::string(best));
        figures.add(entry, 0, hIndex, plainNumber(field(kHIndex), true));
        std::string_view categories = field(kCategories);
        while (!categories.empty()) {
            const std::size_t semicolon = categories.find(';');
            const auto [category, quartile] = categoryAndQuartile(categories.substr(0, semicolon));
            if (!category.empty() && !quartile.empty())
                figures.add(entry, figures.nameNumber(category), sjrQuartile, std::string(quartile));
            categories =
                semicolon == std::string_view::npos ? std::string_view() : categories.substr(semicolon + 1);
        }
        return {};
    });
    figures.finish();
    return read;
}

}  // namespace lumaref
