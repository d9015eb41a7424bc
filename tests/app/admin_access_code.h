#pragma once

#include <string_view>

namespace lumaref::test {

// The administrator access code as a user types it. The program keeps only its digest; the tests
// spell the code here and nowhere else.
inline constexpr std::string_view kAdminAccessCode = "corvalsand";

}  // namespace lumaref::test
