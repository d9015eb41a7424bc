#include "picklists/list_file.h"

#include "text/file_name.h"
#include "text/text_file.h"

namespace lumaref {
namespace {

std::string inListFolder(std::string_view listFolder, std::string_view relative) {
    std::string path(listFolder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += relative;
    return path;
}

}  // namespace

std::vector<std::string> splitListText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> items;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        items.emplace_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) {
        items.emplace_back(text.substr(start));
    }
    return items;
}

std::vector<std::string> readListFile(const std::string& path) {
    return splitListText(readTextFile(path, "Cannot open file"));
}

void writeListFile(const std::string& path, const std::vector<std::string>& items) {
    std::size_t size = 0;
    for (const std::string& item : items) {
        size += item.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& item : items) {
        bytes += item;
        bytes += "\r\n";
    }
    replaceFileAtomically(path, bytes);
}

std::string categoriesListPath(std::string_view listFolder) {
    return inListFolder(listFolder, "categories.txt");
}

std::string frequenciesListPath(std::string_view listFolder) {
    // The file name has always been spelled so; existing installations depend on it.
    return inListFolder(listFolder, "ferequently.txt");
}

std::optional<std::string> subjectListPath(std::string_view listFolder, std::string_view category) {
    // A category names a file, never a folder: it must not lead out of subjects/.
    if (!isValidFileName(category)) return std::nullopt;
    std::string relative = "subjects/";
    relative += category;
    relative += ".txt";
    return inListFolder(listFolder, relative);
}

}  // namespace lumaref
