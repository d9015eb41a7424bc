#include "text/file_name.h"

namespace lumaref {

bool isValidFileName(std::string_view name) {
    if (name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

}  // namespace lumaref
