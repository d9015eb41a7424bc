#include "exchange/jcr_export.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "exchange/ranking_columns.h"
#include "exchange/ranking_rows.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/issn_form.h"

namespace lumaref {

namespace {

// The export's columns by what they hold, with the names they have gone by. The impact factor is also
// found as "<year> JIF" and the citation indicator as "<year> JCI", the latest year winning.
enum JcrColumn : std::uint8_t {
    kName,
    kIssnColumn,
    kEIssnColumn,
    kCitations,
    kImpact,
    kImpactNoSelf,
    kQuartile,
    kCategory,
    kCitationIndicator,
    kFiveYearImpact,
    kColumnCount
};
constexpr ColumnNames kJcrColumnNames[kColumnCount] = {
    {{"Journal name", "Full Journal Title", "Journal title"}},
    {{"ISSN"}},
    {{"eISSN", "E-ISSN"}},
    {{"Total Citations", "Total Cites"}},
    {{"Journal Impact Factor", "JIF"}},
    {{"JIF Without Self Cites", "Impact Factor without Journal Self Cites"}},
    {{"JIF Quartile", "Quartile"}},
    {{"Category", "Categories", "JCR Category"}},
    {{"Journal Citation Indicator (JCI)", "JCI", "Journal Citation Indicator"}},
    {{"5 Year JIF", "Five Year Impact Factor", "5-Year Impact Factor", "5 Year Impact Factor"}},
};
constexpr ColumnNames kRequired[] = {kJcrColumnNames[kName], kJcrColumnNames[kIssnColumn],
                                     kJcrColumnNames[kCitations], kJcrColumnNames[kImpact],
                                     kJcrColumnNames[kQuartile]};

// "2023 JIF" -> "2023" for suffix " JIF"; nullopt for anything else.
std::optional<std::string> datedColumnYear(std::string_view name, std::string_view suffix) {
    name = trimmed(name);
    if (name.size() != 4 + suffix.size() || !equalsIgnoringAsciiCase(name.substr(4), suffix))
        return std::nullopt;
    for (const char c : name.substr(0, 4)) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return std::string(name.substr(0, 4));
}

struct Header {
    std::array<std::optional<std::size_t>, kColumnCount> at;
    std::string impactName;
    std::string year;
};

Header headerOf(std::span<const std::string> names) {
    Header header;
    std::string citationIndicatorYear;
    for (std::size_t column = 0; column < kColumnCount; ++column)
        header.at[column] = findColumn(names, kJcrColumnNames[column]);
    if (header.at[kImpact]) header.impactName = names[*header.at[kImpact]];
    // A dated column is the current one; the undated names come from older exports.
    for (std::size_t field = 0; field < names.size(); ++field) {
        if (const std::optional<std::string> year = datedColumnYear(names[field], " JIF");
            year && *year > header.year) {
            header.year = *year;
            header.at[kImpact] = field;
            header.impactName = names[field];
        }
        if (const std::optional<std::string> year = datedColumnYear(names[field], " JCI");
            year && *year > citationIndicatorYear) {
            citationIndicatorYear = *year;
            header.at[kCitationIndicator] = field;
        }
    }
    return header;
}

// The year a title line names ("Selected JCR Year: 2018"), for an export without dated columns.
std::string bannerYear(std::string_view banner) {
    const std::size_t at = banner.find("JCR Year:");
    if (at == std::string_view::npos) return {};
    const std::string_view rest = trimmed(banner.substr(at + 9));
    if (rest.size() < 4) return {};
    for (const char c : rest.substr(0, 4)) {
        if (c < '0' || c > '9') return {};
    }
    return std::string(rest.substr(0, 4));
}

bool noNumber(std::string_view issn) { return issn.empty() || issn == "N/A"; }

// A figure's text: "N/A" and blanks are none; numbers lose their thousands separators.
std::string figureValue(std::string_view text) {
    text = trimmed(text);
    if (text == "N/A" || text == "n/a") return {};
    return plainNumber(text, false);
}

}  // namespace

const std::string_view kJcrColumnsText =
    "\"Journal name\", \"ISSN\", \"eISSN\", \"Total Citations\", \"<year> JIF\" and \"JIF Quartile\"";

bool isJcrHeader(std::span<const std::string> names) {
    if (hasColumns(names, kRequired)) return true;
    // The current export names its impact factor by year only.
    const Header header = headerOf(names);
    return !header.year.empty() && header.at[kName] && header.at[kIssnColumn] && header.at[kCitations] &&
           header.at[kQuartile];
}

JcrExport readJcrExport(std::string_view text, const RankingHeader& found, const std::string& fileName) {
    const std::string file = "The export \"" + fileName + "\"";
    const Header header = headerOf(found.names);
    const std::size_t headerOffset = csvLineOffset(text, found.line);
    const std::string year = header.year.empty() ? bannerYear(text.substr(0, headerOffset)) : header.year;
    JcrExport read;
    read.figures = RankingFigures(std::string(kJcrSource),
                                  year.empty() ? std::nullopt : std::optional<int>(std::stoi(year)));
    JcrLoadReport& report = read.report;
    std::size_t needed = 0;
    for (const auto& at : header.at) {
        if (at) needed = std::max(needed, *at + 1);
    }
    std::size_t footerFrom = 0;  // the first single-field line after the data
    std::string failure;
    // Each journal once, by the number it is stored under: the tables it is in already, and its figures.
    struct Seen {
        std::size_t name = 0;
        bool ranked = false;
        std::array<bool, 4> inQuartile{};
        std::uint32_t entry = 0;  // 0: no ISSN in the printed form, so no figures
    };
    // Reserved from the line count: growing these a doubling at a time cost a fifth of the read.
    const std::size_t lines = rowsWorthReserving(text);
    std::unordered_map<std::string, Seen> seen;
    seen.reserve(lines);
    read.names.reserve(lines);
    read.ranking.reserve(2 * lines);
    read.figures.reserve(lines, 4 * lines);
    std::unordered_set<std::string> withoutIssn;
    RankingFigures& figures = read.figures;
    const std::uint32_t jif = figures.nameNumber("JIF");
    const std::uint32_t jifQuartile = figures.nameNumber("JIF Quartile");
    const std::uint32_t jci = header.at[kCitationIndicator] ? figures.nameNumber("JCI") : 0;
    const std::uint32_t totalCitations = figures.nameNumber("Total Citations");
    const std::uint32_t fiveYearJif = header.at[kFiveYearImpact] ? figures.nameNumber("5 Year JIF") : 0;
    CsvSyntaxError syntax;
    bool atHeader = true;
    std::string key;

    const bool ok = readCsvRows(
        text.substr(headerOffset), found.separator,
        [&](const CsvRow& row) {
            if (atHeader) {
                atHeader = false;
                return true;
            }
            if (row.blank()) return true;
            if (row.size() == 1) {  // copyright lines after the data
                if (footerFrom == 0) footerFrom = row.line;
                return true;
            }
            if (footerFrom != 0 || row.size() < needed) {
                failure = fieldCountRefusal(file, row.size(), row.line, std::to_string(needed) + " or more");
                return false;
            }
            ++report.rowsRead;
            const auto field = [&](JcrColumn c) {
                return header.at[c] ? row[*header.at[c]] : std::string_view();
            };
            const std::string_view quartileText = trimmed(field(kQuartile));
            std::optional<std::size_t> quartile;  // 0..3 for Q1..Q4
            if (quartileText.size() == 2 && (quartileText[0] == 'Q' || quartileText[0] == 'q') &&
                quartileText[1] >= '1' && quartileText[1] <= '4') {
                quartile = static_cast<std::size_t>(quartileText[1] - '1');
            } else {
                ++report.rowsWithoutQuartile;
            }
            std::string_view issn = field(kIssnColumn);
            std::string_view eIssn = field(kEIssnColumn);
            if (noNumber(issn)) issn = {};
            if (noNumber(eIssn)) eIssn = {};
            if (issn.empty() && eIssn.empty()) {
                withoutIssn.emplace(field(kName));
                return true;
            }
            key.assign(issn.empty() ? "E" : "I");
            key.append(issn.empty() ? eIssn : issn);
            Seen& journal = seen[key];
            const auto storeUnderBoth = [&](auto& rows, const auto& makeRow) {
                for (const std::string_view number : {issn, eIssn}) {
                    if (!number.empty()) rows.push_back(makeRow(std::string(number)));
                }
            };
            if (!journal.ranked) {
                journal.ranked = true;
                journal.name = read.names.size();
                read.names.emplace_back(field(kName));
                storeUnderBoth(read.ranking, [&](std::string number) {
                    return JcrRankingRow{journal.name, std::move(number), std::string(field(kCitations)),
                                         std::string(field(kImpact)), std::string(field(kImpactNoSelf))};
                });
                const std::string printedIssnText = printedIssn(issn).value_or("");
                const std::string printedEIssn = printedIssn(eIssn).value_or("");
                if (!printedIssnText.empty() || !printedEIssn.empty()) {
                    journal.entry = figures.addJournal(
                        {printedIssnText, printedEIssn, std::string(trimmed(field(kName)))});
                    figures.add(journal.entry, 0, jif, figureValue(field(kImpact)));
                    if (jci != 0) figures.add(journal.entry, 0, jci, figureValue(field(kCitationIndicator)));
                    figures.add(journal.entry, 0, totalCitations, figureValue(field(kCitations)));
                    if (fiveYearJif != 0)
                        figures.add(journal.entry, 0, fiveYearJif, figureValue(field(kFiveYearImpact)));
                }
            }
            if (!quartile) return true;
            if (!journal.inQuartile[*quartile]) {
                journal.inQuartile[*quartile] = true;
                storeUnderBoth(read.quartiles[*quartile], [&](std::string number) {
                    return JcrQuartileRow{journal.name, std::move(number)};
                });
            }
            if (journal.entry != 0) {
                const std::string_view category = trimmed(field(kCategory));
                figures.add(journal.entry, category.empty() ? 0 : figures.nameNumber(category), jifQuartile,
                            "Q" + std::to_string(*quartile + 1));
            }
            return true;
        },
        &syntax, found.line);
    if (!failure.empty()) throw Error(failure + std::string(kNothingLoaded));
    if (!ok)
        throw Error(file + ", line " + std::to_string(syntax.line) + ": " + syntax.reason + "." +
                    std::string(kNothingLoaded));
    report.impactFactorColumn = header.impactName;
    report.year = header.year;
    report.journalsWithoutIssn = withoutIssn.size();
    report.rankingRows = read.ranking.size();
    for (std::size_t q = 0; q < read.quartiles.size(); ++q) report.quartileRows[q] = read.quartiles[q].size();
    figures.finish();
    return read;
}

}  // namespace lumaref
