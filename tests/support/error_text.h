#pragma once

#include <functional>
#include <string>

namespace lumaref::test {

// The text of the lumaref::Error that action throws, or "(no error)".
std::string errorOf(const std::function<void()>& action);

}  // namespace lumaref::test
