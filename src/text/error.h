#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lumaref {

// The one exception type of the core: what() is the final text a user sees. A password that the text
// would show (a connection string echoed in it) is masked here, so no message, log line or exception
// built on it carries one.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message);
    explicit Error(const char* message) : Error(std::string(message)) {}
};

// The provider's text for a filter it cannot use.
inline constexpr const char* kFilterArgumentsError =
    "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";

// How every load's refusal ends: a load is all or nothing.
inline constexpr std::string_view kNothingLoaded = " Nothing was loaded.";

}  // namespace lumaref
