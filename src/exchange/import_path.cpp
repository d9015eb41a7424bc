#include "exchange/import_path.h"

namespace lumaref {

std::string LastFolderName(std::string_view directory) {
    const std::size_t slash = directory.rfind('/');
    return std::string(slash == std::string_view::npos ? directory : directory.substr(slash + 1));
}

std::string TextBeforeFirstDot(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.find('.')));
}

ImportNames importNamesForPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {std::string(), TextBeforeFirstDot(path)};
    // The directory part loses its final "/" unless that would leave no folder at all ("/", "//").
    std::string_view directory = path.substr(0, slash + 1);
    if (slash > 0 && path[slash - 1] != '/') directory.remove_suffix(1);
    return {LastFolderName(directory), TextBeforeFirstDot(path.substr(slash + 1))};
}

}  // namespace lumaref
