#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// One row as a line of tab-separated text, the form spreadsheets paste from the clipboard: cells parted
// by tabs, the line ended by a line feed. A cell holding a tab, a line break or a double quote is
// quoted with its quotes doubled, so it pastes as the one cell it is.
void appendTabSeparatedRow(std::string& out, const std::vector<std::string_view>& cells);

}  // namespace lumaref
