#pragma once

#include <optional>
#include <string>

namespace lumaref {

// An Access Date/Time value (days since 1899-12-30; the fraction is the time of day, also for days
// before that date) as ISO 8601 text "YYYY-MM-DDTHH:MM:SS", rounded to the second.
// nullopt outside the years 100 to 9999 that Access allows, or for a value that is not a number.
std::optional<std::string> jetDateText(double value);

}  // namespace lumaref
