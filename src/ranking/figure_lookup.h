#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumaref {

class StoreTransaction;

// One figure of a journal, as the view journal_rankings gives it.
struct JournalFigure {
    std::string source;
    std::optional<int> year;
    std::string category;  // empty: the journal's as a whole
    std::string metric;
    std::string value;
};

// Every figure of the journal with these numbers (in any form; either may be empty), ordered by source,
// year, category and metric: what a detail pane lists.
std::vector<JournalFigure> figuresOfJournal(StoreTransaction& store, std::string_view issn,
                                            std::string_view eIssn);

// The figures of one metric of one source and year, read once and then looked up per journal in
// constant time: what a column of the grid shows. Journals are matched on their ISSN, then their
// E-ISSN, in any form; a figure of a category (a quartile) is the one of the journal's own subject
// category, in any letter case, and a figure of the journal as a whole serves every category.
class FigureLookup {
public:
    // `year` nullopt: the latest year loaded of the source.
    static FigureLookup read(StoreTransaction& store, std::string_view source, std::optional<int> year,
                             std::string_view metric);

    // The year read, nullopt when the source has none loaded.
    std::optional<int> year() const { return year_; }
    // The figure for a journal, or an empty text.
    std::string_view valueFor(std::string_view issn, std::string_view eIssn, std::string_view category) const;

private:
    std::optional<int> year_;
    // By printed number, then by folded category ("" for the journal as a whole).
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> figures_;
};

}  // namespace lumaref
