#pragma once

#include <cstdint>
#include <string>

namespace lumaref::bench {

// The bench's journals of a size carried onto the server (the one libpq's environment names) once per
// run, into a schema of their own named `prefix` and the size; returns the schema's name.
const std::string& journalsCopiedToSchema(std::uint64_t journals, const std::string& prefix);

// The connection option that puts `schemas` first on the search path.
std::string searchPath(const std::string& schemas);

}  // namespace lumaref::bench
