#include "ranking/figure_lookup.h"

#include "db/store_transaction.h"
#include "text/issn_form.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

using Param = std::optional<std::string_view>;

const std::string kWholeJournal;  // the category of a figure of the journal as a whole

std::optional<int> yearOf(const Param& text) {
    if (!text) return std::nullopt;
    return std::stoi(std::string(*text));
}

}  // namespace

std::vector<JournalFigure> figuresOfJournal(StoreTransaction& store, std::string_view issn,
                                            std::string_view eIssn) {
    const std::string first = printedIssn(issn).value_or("");
    const std::string second = printedIssn(eIssn).value_or("");
    std::vector<JournalFigure> figures;
    if (first.empty() && second.empty()) return figures;
    const Param numbers[] = {first.empty() ? second : first, second.empty() ? first : second};
    store.query(
        "SELECT source, year, category, metric, value FROM journal_rankings WHERE issn IN ($1, $2) OR "
        "eissn IN ($1, $2) ORDER BY source, year, category, metric",
        numbers, [&figures](SqlRow row) {
            figures.push_back({std::string(row[0].value_or("")), yearOf(row[1]),
                               std::string(row[2].value_or("")), std::string(row[3].value_or("")),
                               std::string(row[4].value_or(""))});
        });
    return figures;
}

FigureLookup FigureLookup::read(StoreTransaction& store, std::string_view source, std::optional<int> year,
                                std::string_view metric) {
    FigureLookup lookup;
    const Param sourceParam[] = {source};
    if (!year) {
        store.query("SELECT max(\"year\") FROM ranking_loads WHERE \"source\" = $1", sourceParam,
                    [&year](SqlRow row) { year = yearOf(row[0]); });
    }
    lookup.year_ = year;
    const std::string yearText = year ? std::to_string(*year) : std::string();
    const Param params[] = {source, year ? Param(yearText) : std::nullopt, metric};
    // One load's figures of one metric: the range of its figures read once, not the whole view.
    store.query(
        "SELECT j.issn, j.eissn, c.name, f.value FROM ranking_loads l "
        "JOIN ranking_names m ON m.\"load\" = l.\"load\" "
        "JOIN ranking_figures f ON f.figure BETWEEN l.\"load\" * 4294967296 AND (l.\"load\" + 1) * "
        "4294967296 - 1 "
        "AND f.metric = m.\"number\" "
        "JOIN ranking_journals j ON j.\"load\" = f.\"load\" AND j.entry = f.entry "
        "LEFT JOIN ranking_names c ON c.\"load\" = f.\"load\" AND c.\"number\" = f.category "
        "WHERE l.\"source\" = $1 AND l.\"year\" IS NOT DISTINCT FROM $2 AND m.name = $3",
        params, [&lookup](SqlRow row) {
            const std::string category = foldText(row[2].value_or(""), FoldMode::Case);
            for (const Param& number : {row[0], row[1]}) {
                // The first figure a number has keeps it: a print ISSN is another journal's E-ISSN rarely.
                if (number) lookup.figures_[std::string(*number)].try_emplace(category, row[3].value_or(""));
            }
        });
    return lookup;
}

std::string_view FigureLookup::valueFor(std::string_view issn, std::string_view eIssn,
                                        std::string_view category) const {
    const std::string folded = foldText(category, FoldMode::Case);
    for (const std::string_view number : {issn, eIssn}) {
        const std::optional<std::string> printed = printedIssn(number);
        if (!printed) continue;
        const auto journal = figures_.find(*printed);
        if (journal == figures_.end()) continue;
        for (const std::string* wanted : {&folded, &kWholeJournal}) {
            if (const auto figure = journal->second.find(*wanted); figure != journal->second.end())
                return figure->second;
        }
    }
    return {};
}

}  // namespace lumaref
