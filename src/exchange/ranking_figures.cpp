#include "exchange/ranking_figures.h"

#include <algorithm>
#include <tuple>

#include "text/ascii.h"

namespace lumaref {

std::uint32_t RankingFigures::addJournal(RankingJournal journal) {
    journals_.push_back(std::move(journal));
    return static_cast<std::uint32_t>(journals_.size());
}

std::uint32_t RankingFigures::nameNumber(std::string_view name) {
    if (const auto known = numbers_.find(name); known != numbers_.end()) return known->second;
    names_.emplace_back(name);
    const auto number = static_cast<std::uint32_t>(names_.size());
    numbers_.emplace(names_.back(), number);
    return number;
}

void RankingFigures::add(std::uint32_t entry, std::uint32_t category, std::uint32_t metric,
                         std::string value) {
    if (value.empty()) return;
    figures_.push_back({entry, category, metric, std::move(value)});
}

void RankingFigures::finish() {
    const auto key = [](const RankingFigure& f) { return std::tie(f.entry, f.category, f.metric); };
    const auto before = [&key](const RankingFigure& a, const RankingFigure& b) { return key(a) < key(b); };
    // Most files give a journal's figures together: then only each journal's few need sorting.
    const bool byJournal =
        std::is_sorted(figures_.begin(), figures_.end(),
                       [](const RankingFigure& a, const RankingFigure& b) { return a.entry < b.entry; });
    if (byJournal) {
        for (auto first = figures_.begin(); first != figures_.end();) {
            const auto last = std::find_if(
                first, figures_.end(), [&first](const RankingFigure& f) { return f.entry != first->entry; });
            std::stable_sort(first, last, before);
            first = last;
        }
    } else {
        std::stable_sort(figures_.begin(), figures_.end(), before);
    }
    figures_.erase(
        std::unique(figures_.begin(), figures_.end(),
                    [&key](const RankingFigure& a, const RankingFigure& b) { return key(a) == key(b); }),
        figures_.end());
}

std::string plainNumber(std::string_view text, bool decimalComma) {
    text = trimmed(text);
    std::string number;
    number.reserve(text.size());
    bool digits = false;
    bool point = false;
    std::size_t group = 0;  // digits since the last thousands separator, once one was seen
    bool grouped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number += c;
            digits = true;
            ++group;
        } else if (c == '-' && i == 0) {
            number += c;
        } else if (!point && digits &&
                   ((c == ',' && decimalComma) || (c == '.' && !decimalComma && (!grouped || group == 3)))) {
            number += '.';
            point = true;
        } else if (c == ',' && !decimalComma && !point && digits && (grouped ? group == 3 : group <= 3)) {
            grouped = true;
            group = 0;
        } else {
            return std::string(text);
        }
    }
    if (!digits || (grouped && !point && group != 3) || number.back() == '.') return std::string(text);
    return number;
}

}  // namespace lumaref
