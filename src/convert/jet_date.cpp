#include "convert/jet_date.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace lumaref {

namespace {

// 0100-01-01 and 9999-12-31 23:59:59 in Access's day numbers.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958466.0;

}  // namespace

std::optional<std::string> jetDateText(double value) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay) return std::nullopt;
    using namespace std::chrono;
    // The sign belongs to the day only: -1.25 is 1899-12-29 at 06:00.
    const double wholeDays = std::trunc(value);
    long long seconds = std::llround(std::fabs(value - wholeDays) * 86400.0);
    sys_days day = sys_days{year{1899} / December / 30} + days{static_cast<long long>(wholeDays)};
    if (seconds >= 86400) {  // rounding reached the next midnight
        seconds -= 86400;
        day += days{1};
    }
    const year_month_day date{day};
    if (static_cast<int>(date.year()) > 9999) return std::nullopt;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return std::string(text);
}

}  // namespace lumaref
