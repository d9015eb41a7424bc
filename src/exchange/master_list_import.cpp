#include "exchange/master_list_import.h"

#include <array>
#include <cstddef>

#include "data/record_set.h"

namespace lumaref {

namespace {

// The field each non-title code sets, by code (2 to 11).
constexpr std::array<std::string_view, 12> kFieldOfCode = {
    "",
    "",
    "Frequently",
    "ISSN",
    "E-ISSN",
    "Address",
    "Science Citation Index",
    "Science Citation Index Expanded",
    "Emerging Sources Citation Index",
    "Arts Humanities Citation Index",
    "Current_Contents1",
    "Current_Contents2",
};

}  // namespace

std::int64_t importMasterList(LineSource& lines, RecordSet& journals, ImportLineClassifier& classifier,
                              std::string_view category, std::string_view subject) {
    classifier.ClearFlags();
    std::int64_t count = 0;
    std::string_view line;
    while (lines.nextLine(line)) {
        const ClassifiedLine classified = classifier.ClassifyImportLine(line);
        switch (classified.code) {
            case ImportCode::NotRecognised:
                break;
            case ImportCode::Title:
                // Append posts the record the previous title line started.
                journals.Append();
                ++count;
                journals.SetFieldAsString("Title", classified.text);
                journals.SetFieldAsString("Category", category);
                journals.SetFieldAsString("Subject", subject);
                break;
            default:
                journals.SetFieldAsString(kFieldOfCode[static_cast<std::size_t>(classified.code)],
                                          classified.text);
                break;
        }
    }
    if (count > 0) journals.Post();
    return count;
}

}  // namespace lumaref
