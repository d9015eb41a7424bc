#pragma once

#include <QString>

#include <cstdint>

namespace lumaref {

// A count as the status bar shows it, grouped by thousands with commas whatever the system's
// locale: "20,022".
QString countText(std::int64_t count);

}  // namespace lumaref
