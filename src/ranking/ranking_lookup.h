#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>

namespace lumaref {

class RecordSet;

// The rows of the ranking table by their ISSN text, built once per run: a journal finds its row
// without reading the table again. The rule stays the row-by-row one: the first row, in table
// order, whose ISSN equals the journal's ISSN or else its E-ISSN, byte for byte. An empty ISSN is no
// identifier and matches nothing.
class RankingLookup {
public:
    // Reads the ISSN of every visible row of ranking, which must not change while the lookup is used.
    explicit RankingLookup(const RecordSet& ranking);

    // The visible position of the row the journal takes its figures from.
    std::optional<int> rowFor(std::string_view issn, std::string_view eissn) const;

private:
    std::unordered_map<std::string_view, int> firstRow_;
};

}  // namespace lumaref
