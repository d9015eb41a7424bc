#pragma once

#include <optional>
#include <string>

namespace lumaref {

// The user guide (user-guide.md, its pictures beside it in images/): installed under the program's
// prefix in share/doc/lumaref/, or, for a program built in the source tree, in the tree's docs/.
// `programDir` is the folder of the running program; nullopt when neither place has the guide.
std::optional<std::string> findUserGuide(const std::string& programDir);

}  // namespace lumaref
