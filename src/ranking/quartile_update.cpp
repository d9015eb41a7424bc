#include "ranking/quartile_update.h"

#include "browse/selection_filter.h"
#include "data/record_set.h"

namespace lumaref {

namespace {

constexpr const char* kQuartileTexts[] = {"Q1", "Q2", "Q3", "Q4"};

// Any row of the filtered set with an ISSN, not only the first: a row with an empty ISSN passes the
// filter of every journal without an E-ISSN and must not hide the row that names the journal.
bool listsJournal(const RecordSet& quartile) {
    const int issn = quartile.FieldIndex("ISSN");
    const int rows = quartile.RecordCount();
    for (int position = 0; position < rows; ++position) {
        if (!quartile.valueAt(position, issn).empty()) return true;
    }
    return false;
}

}  // namespace

std::string quartileFilterText(std::string_view issn, std::string_view eissn) {
    return "ISSN =" + quoted(issn) + " OR ISSN=" + quoted(eissn);
}

UpdateCounts updateQuartiles(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                             UpdateSteps& steps) {
    UpdateCounts counts;
    const int shown = journals.RecordCount();
    if (shown == 0) return counts;
    steps.showProgress(shown);
    journals.First();
    const int issnField = journals.FieldIndex("ISSN");
    const int eissnField = journals.FieldIndex("E-ISSN");
    while (!journals.Eof()) {
        steps.advanceProgress();
        ++counts.walked;
        const int position = journals.currentPosition();
        const std::string filter =
            quartileFilterText(journals.valueAt(position, issnField), journals.valueAt(position, eissnField));
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            RecordSet& quartile = *quartiles[q];
            quartile.SetFiltered(false);
            quartile.SetFilter(filter);
            quartile.SetFiltered(true);
            if (!listsJournal(quartile)) continue;
            journals.Edit();
            try {
                journals.SetFieldAsString("Q", kQuartileTexts[q]);
                journals.Post();
            } catch (...) {
                journals.Cancel();  // never posted later by the next cursor move
                throw;
            }
            ++counts.posted;
            break;
        }
        journals.Next();
    }
    steps.hideProgress();
    steps.applySelectionFilter();
    return counts;
}

}  // namespace lumaref
