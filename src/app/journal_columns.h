#pragma once

#include <Qt>

#include <array>

namespace lumaref {

// One designed column of the journal grid.
struct JournalColumn {
    const char* field;    // field of the journals table, matched in any letter case
    const char* title;    // header text
    int width;            // pixels; 0 takes the field's default width
    int displayChars;     // the field's default width in average characters
    Qt::Alignment align;  // cell alignment
};

inline constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;

// The seventeen columns in the order of the table's fields; the export writes this same set.
inline constexpr std::array<JournalColumn, 17> kJournalColumns = {{
    {"Title", "Journal Title", 449, 255, kLeft},
    {"ISSN", "ISSN", 67, 255, kCentre},
    {"E-ISSN", "E-ISSN", 66, 255, kCentre},
    {"Frequently", "Frequently", 87, 255, kCentre},
    {"IF", "IF", 70, 255, kCentre},
    {"Total Cites", "Total Cites", 77, 255, kCentre},
    {"Impact Factor without Journal Self Cites", "IF without Journal Self Cites", 192, 255, kCentre},
    {"Q", "Q", 36, 255, kCentre},
    {"Science Citation Index", "Science Citation Index", 0, 5, kCentre},
    {"Science Citation Index Expanded", "Science Citation Index Expanded", 0, 5, kCentre},
    {"Emerging Sources Citation Index", "Emerging Sources Citation Index", 0, 5, kCentre},
    {"Arts Humanities Citation Index", "Arts Humanities Citation Index", 202, 5, kCentre},
    {"Current_Contents1", "Current Contents 1", 224, 255, kLeft},
    {"Current_Contents2", "Current Contents 2", 249, 255, kLeft},
    {"Address", "Address", 0, 10, kLeft},
    {"category", "category", 191, 255, kLeft},
    {"subject", "subject", 324, 255, kLeft},
}};

}  // namespace lumaref
