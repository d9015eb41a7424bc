#include "exchange/import_line_classifier.h"

namespace lumaref {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The line from its character `position` (counted from 1) to the end; empty beyond the end. Characters,
// not bytes: a cut never splits an accented letter, whatever the prefixes are followed by.
std::string_view fromCharacter(std::string_view line, std::size_t position) {
    std::size_t i = 0;
    for (std::size_t skipped = 1; skipped < position && i < line.size(); ++skipped) {
        ++i;
        while (i < line.size() && isContinuation(line[i])) ++i;
    }
    return line.substr(i);
}

bool beginsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

// "12. Title": digits, a full stop and a blank at the start of the line.
bool beginsWithRunningNumber(std::string_view line) {
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    return digits > 0 && line.substr(digits, 2) == ". ";
}

constexpr std::string_view kTrue = "true";

}  // namespace

ClassifiedLine ImportLineClassifier::ClassifyImportLine(std::string_view line) {
    ClassifiedLine result;
    auto take = [&result](ImportCode code, std::string_view text) {
        result.code = code;
        result.text = text;
    };
    auto clearAll = [this] { TitleSeen = AddressNext = FirstContentsSeen = false; };

    if (TitleSeen) {  // 1
        take(ImportCode::Frequency, line);
        clearAll();
    }
    const std::size_t dot = line.find(". ");
    if (dot != std::string_view::npos && (!AddressNext || beginsWithRunningNumber(line))) {  // 2
        take(ImportCode::Title, line.substr(dot + 2));
        clearAll();
        TitleSeen = true;
    }
    // An ISSN line is read before test 4 looks at the flag, so it hands the address position on
    // to the next line; the line after it is the address unless it is the E-ISSN line.
    bool addressHere = AddressNext;
    if (beginsWith(line, "ISSN")) {  // 3
        take(ImportCode::Issn, fromCharacter(line, 7));
        clearAll();
        addressHere = false;
        AddressNext = true;
    }
    if (addressHere) {  // 4; TitleSeen is always clear here
        take(ImportCode::Address, line);
        AddressNext = FirstContentsSeen = false;
    }
    if (beginsWith(line, "E-ISSN")) {  // 5
        take(ImportCode::EIssn, fromCharacter(line, 9));
        clearAll();
        AddressNext = true;
    }
    const std::pair<std::string_view, ImportCode> indexes[] = {
        // 6 to 9
        {"Science Citation Index", ImportCode::ScienceCitationIndex},
        {"Science Citation Index Expanded", ImportCode::ScienceCitationIndexExpanded},
        {"Emerging Sources Citation Index", ImportCode::EmergingSourcesCitationIndex},
        {"Arts & Humanities Citation Index", ImportCode::ArtsHumanitiesCitationIndex}};
    for (const auto& [prefix, code] : indexes) {
        if (beginsWith(line, prefix)) {
            take(code, kTrue);
            clearAll();
        }
    }
    if (beginsWith(line, "Current Contents")) {  // 10
        const bool second = FirstContentsSeen;
        take(second ? ImportCode::SecondCurrentContents : ImportCode::FirstCurrentContents,
             fromCharacter(line, 20));
        clearAll();
        FirstContentsSeen = !second;
    }
    return result;
}

}  // namespace lumaref
