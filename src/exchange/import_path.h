#pragma once

#include <string>
#include <string_view>

namespace lumaref {

// The text after the last "/" of a directory path; a text without any "/" is returned whole.
std::string LastFolderName(std::string_view directory);

// The text before the first full stop of a file name; a name without a full stop is returned whole.
std::string TextBeforeFirstDot(std::string_view fileName);

// What Browse proposes for a chosen file: the folder it lies in as category, its name up to the first
// full stop as subject. A file directly in "/" proposes an empty category.
struct ImportNames {
    std::string category;
    std::string subject;
};
ImportNames importNamesForPath(std::string_view path);

}  // namespace lumaref
