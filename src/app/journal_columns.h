#pragma once

#include <Qt>

#include <array>
#include <string_view>

#include "db/schema_names.h"

namespace lumaref {

// One designed column of the journal grid.
struct JournalColumn {
    std::string_view field;  // field of the journals table, matched in any letter case
    const char* title;       // header text
    int width;               // pixels; 0 takes the field's default width
    int displayChars;        // the field's default width in average characters
    Qt::Alignment align;     // cell alignment
    // The widest value the column holds when its values share one form: the column is never narrower.
    const char* widestValue = nullptr;
};

inline constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;

// The seventeen columns in the order of the table's fields; the export writes this same set.
inline constexpr std::array<JournalColumn, 17> kJournalColumns = {{
    {kTitleField, "Journal Title", 449, 255, kLeft},
    {kIssnField, "ISSN", 67, 255, kCentre, "0000-000X"},
    {kEIssnField, "E-ISSN", 66, 255, kCentre, "0000-000X"},
    {kFrequencyField, "Frequently", 87, 255, kCentre},
    {kImpactFactorField, "IF", 70, 255, kCentre},
    {kTotalCitesField, "Total Cites", 77, 255, kCentre},
    {kImpactFactorWithoutSelfCitesField, "IF without Journal Self Cites", 192, 255, kCentre},
    {kQuartileField, "Q", 36, 255, kCentre},
    {kScienceCitationIndexField, "Science Citation Index", 0, 5, kCentre},
    {kScienceCitationIndexExpandedField, "Science Citation Index Expanded", 0, 5, kCentre},
    {kEmergingSourcesCitationIndexField, "Emerging Sources Citation Index", 0, 5, kCentre},
    {kArtsHumanitiesCitationIndexField, "Arts Humanities Citation Index", 202, 5, kCentre},
    {kFirstCurrentContentsField, "Current Contents 1", 224, 255, kLeft},
    {kSecondCurrentContentsField, "Current Contents 2", 249, 255, kLeft},
    {kAddressField, "Address", 0, 10, kLeft},
    {kCategoryField, "category", 191, 255, kLeft},
    {kSubjectField, "subject", 324, 255, kLeft},
}};

}  // namespace lumaref
