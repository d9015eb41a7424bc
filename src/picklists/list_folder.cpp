#include "picklists/list_folder.h"

#include <algorithm>
#include <filesystem>

#include "picklists/list_file.h"
#include "text/error.h"

namespace lumaref {

namespace {

// Where the subject file of a category that is no valid file name would be, for the error that
// reports it. A zero byte would end the message text early, so it shows as the symbol for null.
std::string shownSubjectPath(std::string_view listFolder, std::string_view category) {
    std::string path(listFolder);
    if (!path.empty() && path.back() != '/') path += '/';
    path += "subjects/";
    for (const char c : category) {
        if (c == '\0') {
            path += "\xE2\x90\x80";  // U+2400
        } else {
            path += c;
        }
    }
    path += ".txt";
    return path;
}

// A backslash counts as a separator too: lists copied to or from Windows must mean the same files,
// and the subject list of such a category is never loaded.
std::string subjectListPathOrThrow(std::string_view listFolder, std::string_view category) {
    std::optional<std::string> path = subjectListPath(listFolder, category);
    if (!path) {
        throw Error("Cannot create file \"" + shownSubjectPath(listFolder, category) +
                    "\". A category that contains \"/\", \"\\\" or a zero byte, or is \".\" or \"..\", "
                    "is not a valid file name");
    }
    return std::move(*path);
}

}  // namespace

std::vector<std::string> ListFolder::categories() { return readListFile(categoriesListPath(folder_)); }

std::vector<std::string> ListFolder::frequencies() { return readListFile(frequenciesListPath(folder_)); }

std::optional<std::vector<std::string>> ListFolder::subjects(std::string_view category) {
    const std::optional<std::string> path = subjectListPath(folder_, category);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) return std::nullopt;
    return readListFile(*path);
}

void ListFolder::checkSubjectNames(const std::vector<std::string>& categories) {
    for (const std::string& category : categories) subjectListPathOrThrow(folder_, category);
}

void ListFolder::writeCategories(const std::vector<std::string>& items) {
    writeListFile(categoriesListPath(folder_), items);
}

void ListFolder::writeSubjects(std::string_view category, const std::vector<std::string>& items) {
    writeListFile(subjectListPathOrThrow(folder_, category), items);
}

void ListFolder::writeFrequencies(const std::vector<std::string>& items) {
    writeListFile(frequenciesListPath(folder_), items);
}

ListSet readListFolder(const std::string& folder) {
    ListFolder lists(folder);
    ListSet set{lists.categories(), lists.frequencies(), {}};
    const std::filesystem::path subjects = std::filesystem::path(folder) / "subjects";
    std::error_code ec;
    if (!std::filesystem::is_directory(subjects, ec)) return set;
    for (const auto& entry : std::filesystem::directory_iterator(subjects)) {
        // By its name, not its stem: "subjects/.txt" is the empty category's list.
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".txt") || !entry.is_regular_file(ec)) continue;
        set.subjects.emplace_back(name.substr(0, name.size() - 4), readListFile(entry.path().string()));
    }
    std::sort(set.subjects.begin(), set.subjects.end());
    return set;
}

}  // namespace lumaref
