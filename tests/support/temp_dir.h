#pragma once

#include <string>
#include <string_view>

namespace lumaref::test {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view relative) const;

private:
    std::string path_;
};

// Makes `dir` the current directory for the lifetime of the object.
class CurrentDir {
public:
    explicit CurrentDir(const std::string& dir);
    ~CurrentDir();
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    std::string previous_;
};

// Creates parent directories as needed; fails the test on error.
void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

}  // namespace lumaref::test
