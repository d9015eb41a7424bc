#include "db/store.h"

namespace lumaref {

std::string missingTableMessage(std::string_view table) {
    return "Cannot find the input table or query '" + std::string(table) +
           "'. Make sure it exists and that its name is spelled correctly.";
}

}  // namespace lumaref
