#include "exchange/master_list_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "text/error.h"
#include "text/file_error.h"
#include "text/non_regular_file.h"
#include "text/text_file.h"

namespace lumaref {

namespace {

// Windows tells a missing folder (3) from a missing file (2); Linux says ENOENT for both.
bool folderOfPathExists(std::string_view path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    return folder.empty() || std::filesystem::is_directory(folder, ignored);
}

}  // namespace

std::string textFileErrorText(int errnoValue, std::string_view path) {
    switch (errnoValue) {
        case ENOENT:
            return folderOfPathExists(path) ? "File not found" : "Invalid filename";
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EISDIR:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(errnoValue);
    }
}

std::string readMasterListFile(const std::string& path) {
    if (const std::string kind = nonRegularFileKind(path); !kind.empty()) {
        throw fileError("Cannot open file", path, "It is " + kind + ", not a regular file");
    }
    std::string text;
    try {
        if (const int failure = readTextFileOrErrno(path, text); failure != 0) {
            throw Error(textFileErrorText(failure, path));
        }
    } catch (const NotTextError& notText) {
        throw Error("The file \"" + fullPath(path) + "\" is not a text file: " + notText.what() +
                    ". Nothing was imported.");
    }
    return text;
}

MasterListLines::MasterListLines(std::string text) : text_(std::move(text)) {}

bool MasterListLines::nextLine(std::string_view& line) {
    if (next_ >= text_.size()) return false;
    const std::string_view rest = std::string_view(text_).substr(next_);
    const std::size_t feed = rest.find('\n');
    line = rest.substr(0, feed);
    next_ = feed == std::string_view::npos ? text_.size() : next_ + feed + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) {
        withoutReturns_.clear();
        for (const char c : line) {
            if (c != '\r') withoutReturns_ += c;
        }
        line = withoutReturns_;
    }
    return true;
}

}  // namespace lumaref
