#include "filter/like_pattern.h"

#include "filter/substring_search.h"
#include "text/text_fold.h"

namespace lumaref {

LikePattern::LikePattern(std::string_view pattern) {
    pieces_.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= pattern.size(); ++i) {
        if (i == pattern.size() || pattern[i] == '*' || pattern[i] == '%') {
            // Folded piece by piece: a wildcard must never merge with or vanish into its neighbours.
            pieces_.push_back(foldText(pattern.substr(start, i - start), FoldMode::CaseAndAccents));
            start = i + 1;
        }
    }
    std::size_t nonEmpty = 0;
    for (const std::string& piece : pieces_) {
        if (!piece.empty()) ++nonEmpty;
        if (piece.size() > needle_.size()) needle_ = piece;
    }
    contains_ = hasWildcard() && nonEmpty == 1 && pieces_.front().empty() && pieces_.back().empty();
}

bool LikePattern::matches(std::string_view text) const {
    if (contains_) return findSubstring(text, needle_) != std::string_view::npos;
    if (!hasWildcard()) return text == pieces_.front();
    const std::string& first = pieces_.front();
    const std::string& last = pieces_.back();
    if (text.size() < first.size() + last.size()) return false;
    if (text.substr(0, first.size()) != first) return false;
    if (text.substr(text.size() - last.size()) != last) return false;
    // The middle pieces in order, each as early as it occurs: taking the leftmost occurrence never
    // loses a match, since it leaves the most room for the pieces after it.
    std::string_view rest = text.substr(first.size(), text.size() - first.size() - last.size());
    for (std::size_t i = 1; i + 1 < pieces_.size(); ++i) {
        const std::string& piece = pieces_[i];
        if (piece.empty()) continue;
        const std::size_t at = findSubstring(rest, piece);
        if (at == std::string_view::npos) return false;
        rest.remove_prefix(at + piece.size());
    }
    return true;
}

}  // namespace lumaref
