#include "text/tab_separated.h"

namespace lumaref {

void appendTabSeparatedRow(std::string& out, const std::vector<std::string_view>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += '\t';
        const std::string_view cell = cells[i];
        if (cell.find_first_of("\t\r\n\"") == std::string_view::npos) {
            out += cell;
            continue;
        }
        out += '"';
        for (const char c : cell) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += '\n';
}

}  // namespace lumaref
