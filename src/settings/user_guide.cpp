#include "settings/user_guide.h"

#include <filesystem>
#include <system_error>

namespace lumaref {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGuide = "user-guide.md";
// A build folder lies at most this far below the source tree (build/release/src).
constexpr int kBuildDepth = 4;

bool isGuide(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> findUserGuide(const std::string& programDir) {
    fs::path program = fs::path(programDir).lexically_normal();
    if (!program.has_filename()) program = program.parent_path();  // given with its trailing '/'
    const fs::path installed = (program / ".." / "share" / "doc" / "lumaref" / kGuide).lexically_normal();
    if (isGuide(installed)) return installed.string();
    fs::path folder = program;
    for (int up = 0; up <= kBuildDepth && !folder.empty(); ++up) {
        if (isGuide(folder / "docs" / kGuide)) return (folder / "docs" / kGuide).string();
        if (folder == folder.root_path()) break;
        folder = folder.parent_path();
    }
    return std::nullopt;
}

}  // namespace lumaref
