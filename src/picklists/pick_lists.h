#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumaref {

class Connection;

// Every list, as a folder of list files or the server's table holds them.
struct ListSet {
    std::vector<std::string> categories;
    std::vector<std::string> frequencies;
    std::vector<std::pair<std::string, std::vector<std::string>>> subjects;  // by category
};

// Where the pick lists live: list files in a folder for an SQLite database, a table on the server
// for a PostgreSQL one, which every role may read and only administrators write. Failures throw Error.
class PickLists {
public:
    virtual ~PickLists() = default;

    virtual std::vector<std::string> categories() = 0;
    virtual std::vector<std::string> frequencies() = 0;
    // The subjects of a category; nullopt when no list is kept for it.
    virtual std::optional<std::vector<std::string>> subjects(std::string_view category) = 0;

    // "Update lists" writes every list between these two: begun before the journals are read afresh,
    // so that what they hold and the lists written agree; finished after the last list. A rebuild
    // that is not finished is abandoned. What can be undone (the server's table) then is.
    virtual void beginRebuild() = 0;
    virtual void finishRebuild() = 0;
    virtual void abandonRebuild() noexcept = 0;

    // Refuses, before anything is written, the first category that cannot name a subject list.
    virtual void checkSubjectNames(const std::vector<std::string>& categories) = 0;
    virtual void writeCategories(const std::vector<std::string>& items) = 0;
    virtual void writeSubjects(std::string_view category, const std::vector<std::string>& items) = 0;
    virtual void writeFrequencies(const std::vector<std::string>& items) = 0;
};

// The lists of the database `connection` opens: on its server, or else the files of `listFolder`.
std::unique_ptr<PickLists> pickListsFor(Connection& connection, std::string listFolder);

// A rebuild of `lists` for as long as it lives, abandoned unless finish() is called.
class PickListRebuild {
public:
    explicit PickListRebuild(PickLists& lists) : lists_(lists) { lists_.beginRebuild(); }
    ~PickListRebuild() {
        if (!finished_) lists_.abandonRebuild();
    }
    PickListRebuild(const PickListRebuild&) = delete;
    PickListRebuild& operator=(const PickListRebuild&) = delete;

    void finish() {
        lists_.finishRebuild();
        finished_ = true;
    }

private:
    PickLists& lists_;
    bool finished_ = false;
};

}  // namespace lumaref
