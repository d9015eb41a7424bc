#include "support/oracles/quartile_walk_by_filters.h"

#include <string>

#include "db/record_set.h"
#include "ranking/quartile_update.h"

namespace lumaref::test {
namespace {

constexpr const char* kQuartileTexts[] = {"Q1", "Q2", "Q3", "Q4"};

// Any filtered row with an ISSN lists the journal: an empty ISSN passes the filter of every
// journal without an E-ISSN.
bool listsJournal(const RecordSet& quartile) {
    const int issn = quartile.fieldIndex("ISSN");
    for (int position = 0; position < quartile.recordCount(); ++position)
        if (!quartile.valueAt(position, issn).empty()) return true;
    return false;
}

}  // namespace

UpdateCounts updateQuartilesByFilters(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                                      UpdateSteps& steps) {
    UpdateCounts counts;
    const int shown = journals.recordCount();
    if (shown == 0) return counts;
    steps.showProgress(shown);
    const int issn = journals.fieldIndex("ISSN");
    const int eissn = journals.fieldIndex("E-ISSN");
    for (journals.first(); !journals.eof(); journals.next()) {
        steps.advanceProgress();
        ++counts.walked;
        const int position = journals.currentPosition();
        const std::string filter =
            quartileFilterText(journals.valueAt(position, issn), journals.valueAt(position, eissn));
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            RecordSet& quartile = *quartiles[q];
            quartile.setFiltered(false);
            quartile.setFilter(filter);
            quartile.setFiltered(true);
            if (!listsJournal(quartile)) continue;
            journals.edit();
            journals.setFieldAsString("Q", kQuartileTexts[q]);
            journals.post();
            ++counts.posted;
            break;
        }
    }
    steps.hideProgress();
    steps.applySelectionFilter();
    return counts;
}

}  // namespace lumaref::test
