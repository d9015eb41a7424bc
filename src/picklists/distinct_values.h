#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lumaref {

// Distinct texts in the order of their first appearance, compared byte for byte (letter case,
// blanks and zero bytes all count). Each value costs one hash lookup however many are kept, and
// there is no limit on how many are kept.
class DistinctValues {
public:
    DistinctValues() = default;
    DistinctValues(const DistinctValues&) = delete;
    DistinctValues& operator=(const DistinctValues&) = delete;

    // Keeps value unless an equal one was kept before; returns whether it was new.
    bool add(std::string_view value);
    std::size_t size() const { return values_.size(); }
    // The values in order of first appearance; the collection is empty afterwards.
    std::vector<std::string> take();

private:
    std::deque<std::string> values_;  // a deque never moves its elements, so the views below stay valid
    std::unordered_set<std::string_view> seen_;
};

}  // namespace lumaref
