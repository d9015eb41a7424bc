#pragma once

#include <map>
#include <string>
#include <string_view>

namespace lumaref {

// "key=value;" pairs. Keys are matched in any letter case and trimmed; a value may be wrapped in
// single or double quotes (a doubled quote inside stands for one). Throws Error on a malformed text.
std::map<std::string, std::string> parseConnectionString(std::string_view text);

inline constexpr const char* kDefaultConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=Database.mdb;Persist Security Info=False;";

}  // namespace lumaref
