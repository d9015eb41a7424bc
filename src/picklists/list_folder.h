#pragma once

#include <string>

#include "picklists/pick_lists.h"

namespace lumaref {

// The pick lists as list files in a folder (list_file.h): categories.txt, ferequently.txt and one
// subjects/<category>.txt per category. A rebuild writes each file as it comes; nothing is undone.
class ListFolder final : public PickLists {
public:
    explicit ListFolder(std::string folder) : folder_(std::move(folder)) {}

    std::vector<std::string> categories() override;
    std::vector<std::string> frequencies() override;
    // nullopt when the category names no file, or its file is not there.
    std::optional<std::vector<std::string>> subjects(std::string_view category) override;

    void beginRebuild() override {}
    void finishRebuild() override {}
    void abandonRebuild() noexcept override {}

    // A category that cannot name a file inside subjects/ ("." or "..", or one with "/", "\" or a zero
    // byte) fails as its file would: Error("Cannot create file \"<path>\". <reason>").
    void checkSubjectNames(const std::vector<std::string>& categories) override;
    void writeCategories(const std::vector<std::string>& items) override;
    void writeSubjects(std::string_view category, const std::vector<std::string>& items) override;
    void writeFrequencies(const std::vector<std::string>& items) override;

private:
    std::string folder_;
};

// Every list file of a folder: categories.txt, ferequently.txt and subjects/*.txt (by category,
// in byte order; a folder without subjects/ has none). Throws Error as readListFile does.
ListSet readListFolder(const std::string& folder);

}  // namespace lumaref
