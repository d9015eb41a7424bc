#include "support/oracles/plain_sort.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>

#include "text/number_text.h"
#include "text/text_fold.h"

namespace lumaref::test {

namespace {

// -1, 0 or 1 as a sorts before, with or after b, ascending; both have a value.
int compareValues(std::string_view a, std::string_view b) {
    const std::optional<double> x = parseReal(a);
    const std::optional<double> y = parseReal(b);
    if (x && y) return *x < *y ? -1 : (*y < *x ? 1 : 0);
    if (x || y) return x ? -1 : 1;
    const int c = foldText(a, FoldMode::CaseAndAccents).compare(foldText(b, FoldMode::CaseAndAccents));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

std::vector<std::uint32_t> plainSortedRows(const Column& column, SortDirection direction) {
    std::vector<std::uint32_t> rows(column.size());
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
    std::stable_sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::string_view x = column.text(a);
        const std::string_view y = column.text(b);
        if (x.empty() || y.empty()) return !x.empty() && y.empty();
        const int c = compareValues(x, y);
        return direction == SortDirection::Ascending ? c < 0 : c > 0;
    });
    return rows;
}

}  // namespace lumaref::test
