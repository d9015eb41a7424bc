#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/schema_names.h"
#include "exchange/ranking_figures.h"
#include "exchange/ranking_header.h"

namespace lumaref {

struct JcrLoadReport {
    std::size_t rowsRead = 0;                   // data rows of the export (one per journal and category)
    std::size_t rankingRows = 0;                // jcr2018
    std::array<std::size_t, 4> quartileRows{};  // JCRQ1..JCRQ4
    std::size_t journalsWithoutIssn = 0;        // neither ISSN nor eISSN: stored nowhere
    std::size_t rowsWithoutQuartile = 0;        // "JIF Quartile" not Q1..Q4: in no quartile table
    std::string impactFactorColumn;             // the column the impact factor came from ("2023 JIF")
    std::string year;                           // its year, or empty for an undated column
};

// The columns each table's rows fill, in the order of the row's values.
inline constexpr std::array<std::string_view, 5> kJcrRankingColumns = {
    kFullJournalTitleField, kIssnField, kTotalCitesField, kJournalImpactFactorField,
    kImpactFactorWithoutSelfCitesField};
inline constexpr std::array<std::string_view, 2> kJcrQuartileColumns = {kJournalTitleField, kIssnField};

// One row of jcr2018 and of a quartile table, under one of the journal's numbers; "" stands for null.
// A journal's name is kept once, in JcrExport::names, for all its rows.
struct JcrRankingRow {
    std::size_t name = 0;
    std::string number, citations, impact, impactNoSelf;
};
struct JcrQuartileRow {
    std::size_t name = 0;
    std::string number;
};

// An export read into the rows of jcr2018 and JCRQ1..JCRQ4, in file order, and into its figures.
struct JcrExport {
    JcrLoadReport report;
    std::vector<std::string> names;
    std::vector<JcrRankingRow> ranking;
    std::array<std::vector<JcrQuartileRow>, 4> quartiles;
    RankingFigures figures{std::string(kJcrSource), std::nullopt};
};

// Whether a header row is a citation reports export's, and the columns it must have.
bool isJcrHeader(std::span<const std::string> names);
extern const std::string_view kJcrColumnsText;

// Reads a citation reports export (a title line, the header, one row per journal and category,
// copyright lines) from the header found; writes nothing. Throws Error naming the problem.
//
// Columns are matched by name in any letter case, current and older names alike; of several
// "<year> JIF" columns the latest is used, and its year is the figures' year (else a title line's
// "JCR Year: YYYY"). A row goes to the quartile table its "JIF Quartile" names, once per journal and
// table; jcr2018 keeps one row per journal, from its first line. A journal is stored under its ISSN,
// and also under its eISSN when it has one ("N/A" counts as none), so journals known only by their
// E-ISSN match too. Values are stored as the text written ("<0.1", "N/A").
//
// The figures: JIF, JCI, Total Citations and 5 Year JIF of each journal (from its first line), and its
// JIF Quartile in each category; numbers without thousands separators, "N/A" no figure.
JcrExport readJcrExport(std::string_view text, const RankingHeader& header, const std::string& fileName);

}  // namespace lumaref
