#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The tables and fields of a Lumaref database that more than one part of the program names, spelled
// as schema.sql spells them (names match in any letter case, but messages show them as written here).
namespace lumaref {

inline constexpr std::string_view kJournalsTable = "journals";
// The ranking table the impact-factor update reads, and the quartile tables JCRQ1..JCRQ4.
inline constexpr std::string_view kRankingTable = "jcr2018";
inline constexpr std::array<std::string_view, 4> kQuartileTables = {"JCRQ1", "JCRQ2", "JCRQ3", "JCRQ4"};

// Fields of journals.
inline constexpr std::string_view kTitleField = "Title";
inline constexpr std::string_view kIssnField = "ISSN";  // also of the ranking and quartile tables
inline constexpr std::string_view kEIssnField = "E-ISSN";
inline constexpr std::string_view kFrequencyField = "Frequently";
inline constexpr std::string_view kImpactFactorField = "IF";
inline constexpr std::string_view kTotalCitesField = "Total Cites";  // also of the ranking table
inline constexpr std::string_view kImpactFactorWithoutSelfCitesField =
    "Impact Factor without Journal Self Cites";  // also of the ranking table
inline constexpr std::string_view kQuartileField = "Q";
inline constexpr std::string_view kScienceCitationIndexField = "Science Citation Index";
inline constexpr std::string_view kScienceCitationIndexExpandedField = "Science Citation Index Expanded";
inline constexpr std::string_view kEmergingSourcesCitationIndexField = "Emerging Sources Citation Index";
inline constexpr std::string_view kArtsHumanitiesCitationIndexField = "Arts Humanities Citation Index";
inline constexpr std::string_view kFirstCurrentContentsField = "Current_Contents1";
inline constexpr std::string_view kSecondCurrentContentsField = "Current_Contents2";
inline constexpr std::string_view kAddressField = "Address";
inline constexpr std::string_view kCategoryField = "category";
inline constexpr std::string_view kSubjectField = "subject";

// Fields of the ranking table.
inline constexpr std::string_view kRankField = "Rank";
inline constexpr std::string_view kFullJournalTitleField = "Full Journal Title";
inline constexpr std::string_view kJournalImpactFactorField = "Journal Impact Factor";

// Field of the quartile tables.
inline constexpr std::string_view kJournalTitleField = "Journal Title";

// The figures from several sources (the last part of schema.sql) and the view that reads them.
inline constexpr std::string_view kRankingLoadsTable = "ranking_loads";
inline constexpr std::string_view kRankingNamesTable = "ranking_names";
inline constexpr std::string_view kRankingJournalsTable = "ranking_journals";
inline constexpr std::string_view kRankingFiguresTable = "ranking_figures";
inline constexpr std::array<std::string_view, 4> kRankingTables = {
    kRankingLoadsTable, kRankingNamesTable, kRankingJournalsTable, kRankingFiguresTable};
inline constexpr std::string_view kJournalRankingsView = "journal_rankings";
// A load's figures are numbered from its number times this, so they are one range of the key.
inline constexpr std::int64_t kFiguresPerLoad = std::int64_t{1} << 32;

}  // namespace lumaref
