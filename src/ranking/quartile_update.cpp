#include "ranking/quartile_update.h"

#include <optional>
#include <unordered_map>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "filter/condition_text.h"
#include "text/stopped.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

constexpr const char* kQuartileTexts[] = {"Q1", "Q2", "Q3", "Q4"};
constexpr int kNone = -1;

// Any row of the filtered set with an ISSN, not only the first: a row with an empty ISSN passes the
// filter of every journal without an E-ISSN and must not hide the row that names the journal.
bool listsJournal(const RecordSet& quartile) {
    const int issn = quartile.fieldIndex(kIssnField);
    const int rows = quartile.recordCount();
    for (int position = 0; position < rows; ++position) {
        if (!quartile.valueAt(position, issn).empty()) return true;
    }
    return false;
}

void consult(RecordSet& quartile, const std::string& filter) {
    quartile.setFiltered(false);
    quartile.setFilter(filter);
    quartile.setFiltered(true);
}

// The text ISSN column of an open quartile table, or -1 when the quartile filter could fail on it.
int textIssnColumn(const RecordSet& quartile) {
    if (!quartile.active()) return -1;
    const int column = quartile.snapshot().findColumn(kIssnField);
    if (column < 0 || quartile.snapshot().columns[static_cast<std::size_t>(column)].kind() != FieldKind::Text)
        return -1;
    return column;
}

// The lowest quartile whose table lists each identifier, folded as the filter's equality folds it:
// the answer of up to four filter changes in one or two look-ups. Only for tables whose filter
// cannot fail (open, with a text ISSN), so the look-up never skips an error.
class QuartileLookup {
public:
    static std::optional<QuartileLookup> of(const std::array<RecordSet*, 4>& quartiles) {
        QuartileLookup lookup;
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            const int column = textIssnColumn(*quartiles[q]);
            if (column < 0) return std::nullopt;
            const Column& issns = quartiles[q]->snapshot().columns[static_cast<std::size_t>(column)];
            for (std::size_t row = 0; row < issns.size(); ++row) {
                const std::string_view issn = issns.text(row);
                if (!issn.empty())
                    lookup.lowest_.emplace(foldText(issn, FoldMode::Case), static_cast<int>(q));
            }
        }
        return lookup;
    }

    int lowestFor(std::string_view issn, std::string_view eissn) const {
        int lowest = kNone;
        for (const std::string_view id : {issn, eissn}) {
            if (id.empty()) continue;  // folds to the empty text, which no listed ISSN is
            const auto it = lowest_.find(foldText(id, FoldMode::Case));
            if (it != lowest_.end() && (lowest == kNone || it->second < lowest)) lowest = it->second;
        }
        return lowest;
    }

private:
    std::unordered_map<std::string, int> lowest_;  // emplace keeps the first, lowest, quartile
};

// Looked up at the first journal, where the walk first reads them, so a missing field fails there.
void resolveIdentifiers(const RecordSet& journals, int& issnField, int& eissnField) {
    issnField = journals.fieldIndex(kIssnField);
    eissnField = journals.fieldIndex(kEIssnField);
}

void postQuartile(RecordSet& journals, int quartile) {
    journals.edit();
    try {
        journals.setFieldAsString(kQuartileField, kQuartileTexts[quartile]);
        journals.post();
    } catch (...) {
        journals.cancel();  // never posted later by the next cursor move
        throw;
    }
}

// Up to four filter changes per journal, each failing where it happens: the walk whenever a quartile
// filter could fail.
void walkByFilters(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles, UpdateSteps& steps,
                   UpdateCounts& counts) {
    int issnField = -1;
    int eissnField = -1;
    while (!journals.eof()) {
        stopIfRequested();
        steps.advanceProgress();
        ++counts.walked;
        if (issnField < 0) resolveIdentifiers(journals, issnField, eissnField);
        const int position = journals.currentPosition();
        const std::string filter =
            quartileFilterText(journals.valueAt(position, issnField), journals.valueAt(position, eissnField));
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            consult(*quartiles[q], filter);
            if (!listsJournal(*quartiles[q])) continue;
            postQuartile(journals, static_cast<int>(q));
            ++counts.posted;
            break;
        }
        journals.next();
    }
}

// The same walk answered from the look-up. Each quartile table is then given the filter of the last
// journal it would have been consulted for, also when the walk ends with an error.
void walkByLookup(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                  const QuartileLookup& lookup, UpdateSteps& steps, UpdateCounts& counts) {
    int issnField = -1;
    int eissnField = -1;
    std::array<std::optional<std::string>, 4> lastFilter;
    std::array<int, 4> lastPosition = {kNone, kNone, kNone, kNone};
    const auto leaveFilters = [&] {
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            if (lastPosition[q] != kNone)
                lastFilter[q] = quartileFilterText(journals.valueAt(lastPosition[q], issnField),
                                                   journals.valueAt(lastPosition[q], eissnField));
        }
        for (std::size_t q = 0; q < quartiles.size(); ++q)
            if (lastFilter[q]) consult(*quartiles[q], *lastFilter[q]);
    };
    try {
        while (!journals.eof()) {
            stopIfRequested();
            steps.advanceProgress();
            ++counts.walked;
            if (issnField < 0) resolveIdentifiers(journals, issnField, eissnField);
            const int position = journals.currentPosition();
            const int lowest = lookup.lowestFor(journals.valueAt(position, issnField),
                                                journals.valueAt(position, eissnField));
            const int consulted = lowest == kNone ? 4 : lowest + 1;
            for (int q = 0; q < consulted; ++q) lastPosition[static_cast<std::size_t>(q)] = position;
            if (lowest != kNone) {
                postQuartile(journals, lowest);
                ++counts.posted;
            }
            journals.next();
        }
    } catch (...) {
        leaveFilters();
        throw;
    }
    leaveFilters();
}

}  // namespace

std::string quartileFilterText(std::string_view issn, std::string_view eissn) {
    return "ISSN =" + quoted(issn) + " OR ISSN=" + quoted(eissn);
}

UpdateCounts updateQuartiles(RecordSet& journals, const std::array<RecordSet*, 4>& quartiles,
                             UpdateSteps& steps) {
    UpdateCounts counts;
    const int shown = journals.recordCount();
    if (shown == 0) return counts;
    steps.showProgress(shown);
    journals.first();
    const std::optional<QuartileLookup> lookup = QuartileLookup::of(quartiles);
    // Posts travel ahead of the server's answers; each journal is still its own commit.
    PostBatch batch(journals);
    if (lookup)
        walkByLookup(journals, quartiles, *lookup, steps, counts);
    else
        walkByFilters(journals, quartiles, steps, counts);
    batch.finish();
    steps.hideProgress();
    steps.applySelectionFilter();
    return counts;
}

}  // namespace lumaref
