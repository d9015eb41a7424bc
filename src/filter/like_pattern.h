#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// The pattern of a Like comparison. "*" and "%" stand for any run of characters (also none) wherever
// they appear; there is no single-character wildcard. Without a leading wildcard the pattern is tied
// to the start of the text, without a trailing one to its end. The literal pieces are folded with
// FoldMode::CaseAndAccents, so the text matched against must be folded the same way.
class LikePattern {
public:
    LikePattern() = default;
    explicit LikePattern(std::string_view pattern);

    // The folded literal pieces between the wildcards, empty ones included: "a*b*" gives "a", "b", "".
    // A pattern with no wildcard is one piece.
    const std::vector<std::string>& pieces() const { return pieces_; }
    bool hasWildcard() const { return pieces_.size() > 1; }
    // Only wildcards: any text, the empty one too.
    bool matchesEverything() const { return hasWildcard() && needle_.empty(); }
    // Exactly "*x*" (any number of stars on each side): a plain substring test suffices.
    bool isContains() const { return contains_; }
    bool anchoredAtStart() const { return hasWildcard() && !pieces_.front().empty(); }
    // The longest piece: every matching text contains it.
    std::string_view needle() const { return needle_; }

    bool matches(std::string_view folded) const;

private:
    std::vector<std::string> pieces_{std::string()};
    std::string needle_;
    bool contains_ = false;
};

}  // namespace lumaref
