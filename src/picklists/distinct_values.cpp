#include "picklists/distinct_values.h"

#include <iterator>

namespace lumaref {

bool DistinctValues::add(std::string_view value) {
    if (seen_.find(value) != seen_.end()) return false;
    seen_.insert(values_.emplace_back(value));
    return true;
}

std::vector<std::string> DistinctValues::take() {
    seen_.clear();
    std::vector<std::string> values(std::make_move_iterator(values_.begin()),
                                    std::make_move_iterator(values_.end()));
    values_.clear();
    return values;
}

}  // namespace lumaref
