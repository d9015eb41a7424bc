#pragma once

#include <QString>

#include <cstdint>

namespace lumaref {

// A count as the status bar shows it, grouped by thousands with commas whatever the system's
// locale: "20,022".
QString countText(std::int64_t count);

// After a ranking update: "Impact factors: 3,934 of the 20,022 journals shown were updated".
QString updateStatusText(const QString& what, std::int64_t updated, std::int64_t shown);

}  // namespace lumaref
