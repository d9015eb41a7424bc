#include "text/file_error.h"

#include <filesystem>
#include <system_error>

namespace lumaref {

std::string fullPath(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    if (absolute.empty()) {
        return path;
    }
    std::filesystem::path normal = absolute.lexically_normal();
    // "dir/." normalises to "dir/"; name the folder itself.
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal.string();
}

std::string systemReason(int errnoValue) {
    std::string reason = std::generic_category().message(errnoValue);
    while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

Error fileError(std::string_view what, const std::string& path, int errnoValue) {
    return fileError(what, path, systemReason(errnoValue));
}

Error fileError(std::string_view what, const std::string& path, std::string_view reason) {
    std::string text(what);
    text += " \"";
    text += fullPath(path);
    text += "\". ";
    text += reason;
    return Error(text);
}

}  // namespace lumaref
