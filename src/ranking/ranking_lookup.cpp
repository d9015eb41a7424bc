#include "ranking/ranking_lookup.h"

#include <algorithm>

#include "db/record_set.h"
#include "db/schema_names.h"

namespace lumaref {

RankingLookup::RankingLookup(const RecordSet& ranking) {
    const int issn = ranking.fieldIndex(kIssnField);
    const int rows = ranking.recordCount();
    firstRow_.reserve(static_cast<std::size_t>(rows));
    for (int position = 0; position < rows; ++position) {
        const std::string_view value = ranking.valueAt(position, issn);
        if (!value.empty()) firstRow_.emplace(value, position);  // a later row never replaces the first
    }
}

std::optional<int> RankingLookup::rowFor(std::string_view issn, std::string_view eissn) const {
    std::optional<int> found;
    for (const std::string_view id : {issn, eissn}) {
        if (id.empty()) continue;
        const auto it = firstRow_.find(id);
        // The walk compares both identifiers with each row in turn, so the earlier row wins either way.
        if (it != firstRow_.end()) found = found ? std::min(*found, it->second) : it->second;
    }
    return found;
}

}  // namespace lumaref
