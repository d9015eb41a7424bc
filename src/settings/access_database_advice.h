#pragma once

#include <string>

namespace lumaref {

class AccessDatabaseError;

// The folder of the running program, where lumaref-convert stands beside lumaref; empty when the
// system cannot tell.
std::string runningProgramFolder();

// What the user reads for an Access file where a Lumaref database was expected: the reason, then the
// two commands that move it aside and convert it into the name Lumaref opens.
std::string accessDatabaseAdvice(const AccessDatabaseError& error);

}  // namespace lumaref
