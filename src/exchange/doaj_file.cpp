#include "exchange/doaj_file.h"

#include <array>
#include <cstdint>

#include "exchange/ranking_columns.h"
#include "exchange/ranking_rows.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/issn_form.h"

namespace lumaref {

namespace {

enum DoajColumn : std::uint8_t {
    kTitle,
    kIssn,
    kEIssn,
    kApc,
    kAmount,
    kCurrency,
    kLicence,
    kSeal,
    kColumnCount
};
constexpr ColumnNames kDoajColumns[kColumnCount] = {
    {{"Journal title"}},
    {{"Journal ISSN (print version)"}},
    {{"Journal EISSN (online version)"}},
    {{"APC", "Journal article processing charges (APCs)"}},
    {{"APC amount"}},
    {{"Currency"}},  // older files: the amount's currency in a column of its own
    {{"Journal license"}},
    {{"DOAJ Seal"}},
};
constexpr ColumnNames kRequired[] = {kDoajColumns[kTitle], kDoajColumns[kIssn], kDoajColumns[kEIssn],
                                     kDoajColumns[kApc]};

// "Yes"/"No" in any letter case as "yes"/"no"; anything else as it is written, an empty text as none.
std::string yesNo(std::string_view text) {
    text = trimmed(text);
    if (equalsIgnoringAsciiCase(text, "yes")) return "yes";
    if (equalsIgnoringAsciiCase(text, "no")) return "no";
    return std::string(text);
}

}  // namespace

const std::string_view kDoajColumnsText =
    "\"Journal title\", \"Journal ISSN (print version)\", \"Journal EISSN (online version)\" and \"APC\"";

bool isDoajHeader(std::span<const std::string> names) { return hasColumns(names, kRequired); }

RankingRead readDoajFile(std::string_view text, const RankingHeader& header, const std::string& fileName,
                         int year) {
    const std::string file = "The DOAJ file \"" + fileName + "\"";
    std::array<std::optional<std::size_t>, kColumnCount> at{};
    std::size_t needed = 0;
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        at[c] = findColumn(header.names, kDoajColumns[c]);
        if (at[c]) needed = std::max(needed, *at[c] + 1);
    }
    RankingRead read{RankingFigures(std::string(kDoajSource), year), {}};
    RankingFigures& figures = read.figures;
    const std::uint32_t openAccess = figures.nameNumber("Open access");
    const std::uint32_t apc = figures.nameNumber("APC");
    const std::uint32_t amount = at[kAmount] ? figures.nameNumber("APC amount") : 0;
    const std::uint32_t licence = at[kLicence] ? figures.nameNumber("Licence") : 0;
    const std::uint32_t seal = at[kSeal] ? figures.nameNumber("DOAJ Seal") : 0;
    readRankingRows(text, header, file, read.report.literalQuoteLines, [&](const CsvRow& row) -> std::string {
        if (row.size() < needed) {
            return fieldCountRefusal(file, row.size(), row.line, std::to_string(needed) + " or more");
        }
        const auto field = [&](DoajColumn c) { return at[c] ? trimmed(row[*at[c]]) : std::string_view(); };
        ++read.report.rows;
        std::string issn = printedIssn(field(kIssn)).value_or("");
        std::string eIssn = printedIssn(field(kEIssn)).value_or("");
        if (issn.empty() && eIssn.empty()) {
            ++read.report.rowsWithoutIssn;
            return {};
        }
        const std::uint32_t entry =
            figures.addJournal({std::move(issn), std::move(eIssn), std::string(field(kTitle))});
        figures.add(entry, 0, openAccess, "yes");
        figures.add(entry, 0, apc, yesNo(field(kApc)));
        if (amount != 0) {
            std::string charge(field(kAmount));
            if (!charge.empty() && !field(kCurrency).empty()) charge += " " + std::string(field(kCurrency));
            figures.add(entry, 0, amount, std::move(charge));
        }
        if (licence != 0) figures.add(entry, 0, licence, std::string(field(kLicence)));
        if (seal != 0) figures.add(entry, 0, seal, yesNo(field(kSeal)));
        return {};
    });
    figures.finish();
    return read;
}

}  // namespace lumaref
