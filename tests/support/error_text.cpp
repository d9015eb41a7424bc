#include "support/error_text.h"

#include "text/error.h"

namespace lumaref::test {

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

}  // namespace lumaref::test
