#include "ranking/figure_filter.h"

#include "db/schema_names.h"
#include "filter/column.h"
#include "text/number_text.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

// "Q2" (in any case) as 2; nullopt for anything else.
std::optional<int> quartileNumber(std::string_view text) {
    if (text.size() != 2 || (text[0] != 'Q' && text[0] != 'q')) return std::nullopt;
    if (text[1] < '1' || text[1] > '4') return std::nullopt;
    return text[1] - '0';
}

}  // namespace

std::vector<FigureColumn> FigureFilter::columns() const {
    std::vector<FigureColumn> all =
        figureColumns(ownList.empty() ? std::vector<std::string>() : std::vector<std::string>{ownList});
    std::vector<FigureColumn> read;
    for (FigureColumn& column : all) {
        if (column.kind == FigureColumnKind::SubjectQuartile || column.kind == FigureColumnKind::OpenAccess ||
            column.kind == FigureColumnKind::Apc || column.kind == FigureColumnKind::OwnList)
            read.push_back(std::move(column));
    }
    return read;
}

bool FigureFilter::passes(std::string_view subjectQuartile, std::string_view openAccess, std::string_view apc,
                          std::string_view listed) const {
    if (openAccessOnly && foldText(openAccess, FoldMode::Case) != "yes") return false;
    if (noApc && foldText(apc, FoldMode::Case) != "no") return false;
    if (subjectQuartileAtMost) {
        const std::optional<int> quartile = quartileNumber(subjectQuartile);
        if (!quartile || *quartile > *subjectQuartileAtMost) return false;
    }
    return ownList.empty() || !listed.empty();
}

std::vector<bool> rowsPassing(const FigureFilter& filter, const FigureColumnValues& values,
                              const Table& journals) {
    std::vector<bool> passing(journals.rowCount(), true);
    if (!filter.active()) return passing;
    const int issn = journals.findColumn(kIssnField);
    const int eIssn = journals.findColumn(kEIssnField);
    const int subject = journals.findColumn(kSubjectField);
    const auto textOf = [&journals](int column, std::size_t row) {
        return column < 0 ? std::string_view() : journals.columns[static_cast<std::size_t>(column)].text(row);
    };
    const bool listed = !filter.ownList.empty();
    for (std::size_t row = 0; row < passing.size(); ++row) {
        const std::string_view number = textOf(issn, row);
        const std::string_view eNumber = textOf(eIssn, row);
        const std::string_view category = textOf(subject, row);
        const auto value = [&](std::size_t column) {
            return values.valueFor(column, number, eNumber, category);
        };
        passing[row] = filter.passes(value(0), value(1), value(2), listed ? value(3) : std::string_view());
    }
    return passing;
}

}  // namespace lumaref
