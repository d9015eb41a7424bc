#pragma once

#include <string_view>

namespace lumaref {

// What a master-list line is, by the number the import acts on.
enum class ImportCode : int {
    NotRecognised = -1,
    Title = 1,
    Frequency = 2,
    Issn = 3,
    EIssn = 4,
    Address = 5,
    ScienceCitationIndex = 6,
    ScienceCitationIndexExpanded = 7,
    EmergingSourcesCitationIndex = 8,
    ArtsHumanitiesCitationIndex = 9,
    FirstCurrentContents = 10,
    SecondCurrentContents = 11,
};

struct ClassifiedLine {
    ImportCode code = ImportCode::NotRecognised;
    // A part of the classified line (or a literal "true"): valid as long as the line is.
    std::string_view text;
};

// Recognises master-list lines by their content and by what the lines before them were. The flags
// carry that memory from line to line; an import clears them before its first line.
class ImportLineClassifier {
public:
    bool TitleSeen = false;  // the line before was a title: this one is the frequency
    // The line before was an E-ISSN, or an ISSN: this one is the address, unless it is another kind.
    bool AddressNext = false;
    bool FirstContentsSeen = false;  // the entry has its first Current Contents line already

    void ClearFlags() { TitleSeen = AddressNext = FirstContentsSeen = false; }

    // Makes all ten tests in their fixed order; a later test that holds overrides an earlier one.
    // Where the address is due, a line is a title only when it starts with a running number and ". "
    // (digits, a full stop, a blank): street and town names are full of ". ".
    ClassifiedLine ClassifyImportLine(std::string_view line);
};

}  // namespace lumaref
