#include "ranking/impact_factor_update.h"

#include <array>
#include <optional>
#include <string>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "filter/condition_text.h"
#include "ranking/ranking_lookup.h"
#include "text/stopped.h"

namespace lumaref {

namespace {

struct CopiedField {
    std::string_view from;  // in the ranking table
    std::string_view to;    // in journals
};

constexpr std::array<CopiedField, 3> kCopied = {{
    {kJournalImpactFactorField, kImpactFactorField},
    {kTotalCitesField, kTotalCitesField},
    {kImpactFactorWithoutSelfCitesField, kImpactFactorWithoutSelfCitesField},
}};

// Field positions looked up when first needed, so a missing field fails where a row-by-row walk
// would first read it, not before.
class LazyField {
public:
    LazyField(const RecordSet& records, std::string_view name) : records_(records), name_(name) {}
    int operator()() {
        if (index_ < 0) index_ = records_.fieldIndex(name_);
        return index_;
    }

private:
    const RecordSet& records_;
    std::string_view name_;
    int index_ = -1;
};

// Where the row-by-row search leaves the ranking cursor: after the matched row once the journal is
// posted, on it when the post failed, past the end when nothing matched.
void leaveRankingCursor(RecordSet& ranking, std::optional<int> matched, bool posted) {
    if (matched && (!posted || *matched + 1 < ranking.recordCount())) {
        ranking.setRecNo(*matched + (posted ? 2 : 1));
        return;
    }
    ranking.last();
    ranking.next();
}

}  // namespace

UpdateCounts updateImpactFactors(RecordSet& journals, RecordSet& ranking, UpdateSteps& steps) {
    UpdateCounts counts;
    const int shown = journals.recordCount();
    if (shown == 0) return counts;
    steps.showProgress(shown);
    steps.applySelectionFilter();

    journals.setFiltered(false);
    std::string filter = journals.filter();
    appendCondition(filter, kEmergingSourcesExclusion);
    journals.setFilter(std::move(filter));
    journals.setFiltered(true);
    journals.first();

    LazyField journalIssn(journals, kIssnField);
    LazyField journalEIssn(journals, kEIssnField);
    std::array<LazyField, 3> from = {LazyField(ranking, kCopied[0].from), LazyField(ranking, kCopied[1].from),
                                     LazyField(ranking, kCopied[2].from)};
    std::array<LazyField, 3> to = {LazyField(journals, kCopied[0].to), LazyField(journals, kCopied[1].to),
                                   LazyField(journals, kCopied[2].to)};
    std::optional<RankingLookup> lookup;
    bool searched = false;
    std::optional<int> lastMatch;
    bool lastPosted = false;

    // Posts travel ahead of the server's answers; each journal is still its own commit.
    PostBatch batch(journals);
    while (!journals.eof()) {
        stopIfRequested();
        steps.advanceProgress();
        ++counts.walked;
        if (!searched) {
            ranking.first();  // a closed ranking table fails here, at the first journal
            if (ranking.recordCount() > 0) lookup.emplace(ranking);
            searched = true;
        }
        // An empty ranking table is searched without reading a field of either side.
        std::optional<int> row;
        if (lookup) {
            row = lookup->rowFor(journals.valueAt(journals.currentPosition(), journalIssn()),
                                 journals.valueAt(journals.currentPosition(), journalEIssn()));
        }
        lastMatch = row;
        lastPosted = false;
        if (row) {
            journals.edit();
            try {
                for (std::size_t i = 0; i < kCopied.size(); ++i)
                    journals.setFieldAsString(to[i](), ranking.valueAt(*row, from[i]()));
                journals.post();
            } catch (...) {
                // A half-copied journal must not be posted later by the next cursor move.
                journals.cancel();
                leaveRankingCursor(ranking, row, false);
                throw;
            }
            lastPosted = true;
            ++counts.posted;
        }
        journals.next();
    }
    batch.finish();
    if (searched) leaveRankingCursor(ranking, lastMatch, lastPosted);

    steps.hideProgress();
    steps.applySelectionFilter();
    return counts;
}

}  // namespace lumaref
