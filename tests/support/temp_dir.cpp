#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace lumaref::test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumaref-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary directory";
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // A test may have taken write permission away to provoke a failure.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view relative) const { return (fs::path(path_) / relative).string(); }

CurrentDir::CurrentDir(const std::string& dir) : previous_(fs::current_path().string()) {
    fs::current_path(dir);
}

CurrentDir::~CurrentDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

void writeFile(const std::string& path, std::string_view bytes) {
    fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) { return fs::exists(path); }

}  // namespace lumaref::test
