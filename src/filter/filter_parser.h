#pragma once

#include <memory>
#include <string_view>

#include "filter/column.h"
#include "filter/filter_node.h"

namespace lumaref {

// Nesting of parentheses deeper than this is refused rather than risking the stack.
inline constexpr int kMaxFilterNesting = 100;

// Parses criteria and resolves its field names against table. Null for a blank text.
// Throws Error(kFilterArgumentsError) for anything it cannot use.
std::unique_ptr<FilterNode> parseFilter(std::string_view criteria, const Table& table);

}  // namespace lumaref
