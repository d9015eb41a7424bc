#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "filter/column.h"
#include "ranking/figure_lookup.h"

namespace lumaref {

class StoreTransaction;

// The grid's optional columns of figures, hidden until chosen.
enum class FigureColumnKind {
    SubjectQuartile,
    Jif,
    Sjr,
    SjrSubjectQuartile,
    HIndex,
    OpenAccess,
    Apc,
    OwnList
};

// The DOAJ's licence asks whatever shows its figures to name it.
inline constexpr std::string_view kDoajCredit =
    "Open access and APC: Directory of Open Access Journals (DOAJ), https://doaj.org";

struct FigureColumn {
    FigureColumnKind kind;
    std::string title;   // header text, and the name the layout remembers it by
    std::string source;  // "JCR", "SJR", "DOAJ" or an own list's name
    std::string metric;  // empty for an own list: its columns' values
};

// The sources loaded, each with its years, latest first; own lists are the sources other than JCR, SJR
// and DOAJ, by name.
struct LoadedSources {
    std::map<std::string, std::vector<int>> years;
    std::vector<std::string> ownLists;
};
LoadedSources loadedSources(StoreTransaction& store);

// The fixed columns, then one per own list.
std::vector<FigureColumn> figureColumns(const std::vector<std::string>& ownLists);

// The year chosen for each source; a source not named shows its latest year loaded.
using ChosenYears = std::map<std::string, int, std::less<>>;

// The figures of the columns, read once for the years chosen, then looked up per journal: a quartile
// in the journal's own subject category, other figures of the journal as a whole. One thread at a time:
// it remembers the journal asked for last.
class FigureColumnValues {
public:
    static FigureColumnValues read(StoreTransaction& store, const std::vector<FigureColumn>& columns,
                                   const ChosenYears& years);

    const std::vector<FigureColumn>& columns() const { return columns_; }
    // The text for a journal, empty when it has none.
    std::string_view valueFor(std::size_t column, std::string_view issn, std::string_view eIssn,
                              std::string_view subject) const;
    std::string_view valueFor(std::size_t column, const FigureLookup::Journal& journal) const;

private:
    std::vector<FigureColumn> columns_;
    std::vector<FigureLookup> lookups_;  // one per column; an own list's is unused
    // An own list's values of a journal joined by "; " ("yes" when it has none), by printed number.
    std::vector<std::unordered_map<std::string, std::string>> listed_;
    // The journal asked for last, as the lookups find it: a grid asks for the cells of a row in turn.
    mutable std::string lastNumbers_;
    mutable FigureLookup::Journal lastJournal_;
};

// A column's figure for every row of `journals` (by their ISSN, E-ISSN and subject), as values a sort
// orders: numbers by value before texts, empty last.
Column figuresOfRows(const FigureColumnValues& values, std::size_t column, const Table& journals);

}  // namespace lumaref
