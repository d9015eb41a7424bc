#include "text/error.h"

#include "text/secret_mask.h"

namespace lumaref {

Error::Error(const std::string& message) : std::runtime_error(maskSecrets(message)) {}

}  // namespace lumaref
