#include "db/store.h"

namespace lumaref {

std::string missingTableMessage(std::string_view table) {
    return "Cannot find the input table or query '" + std::string(table) +
           "'. Make sure it exists and that its name is spelled correctly.";
}

std::string noReadPermissionMessage(std::string_view table) {
    return "Record(s) cannot be read; no read permission on '" + std::string(table) + "'.";
}

}  // namespace lumaref
