#include "ranking/figure_history.h"

#include <algorithm>

#include "text/number_text.h"

namespace lumaref {

std::vector<std::pair<int, double>> yearlyFigures(const std::vector<JournalFigure>& figures,
                                                  std::string_view source, std::string_view metric) {
    std::vector<std::pair<int, double>> points;
    for (const JournalFigure& figure : figures) {
        if (figure.source != source || figure.metric != metric || !figure.year || !figure.category.empty())
            continue;
        if (const std::optional<double> value = parseReal(figure.value))
            points.emplace_back(*figure.year, *value);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // One point a year: the first figure listed.
    points.erase(std::unique(points.begin(), points.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 points.end());
    return points;
}

}  // namespace lumaref
