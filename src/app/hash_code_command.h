#pragma once

namespace lumaref {

// lumaref --hash-code: reads an access code (twice, unechoed, on a terminal; else one line of the
// standard input) and prints the access-code= line for /etc/lumaref.conf. Returns the exit status.
int runHashCodeCommand();

}  // namespace lumaref
