#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "picklists/pick_lists.h"

namespace lumaref {

class PgConnection;

// The server's table of pick lists: one row per list (kind "categories", "frequencies" or
// "subjects", the category for a subject list, "" otherwise), its items in order.
inline constexpr std::string_view kServerListsTable = "lumaref_lists";
// What reading the lists of a server without the table says.
inline constexpr const char* kNoServerListsMessage =
    "The server holds no pick lists yet: lumaref-convert --lists FOLDER DATABASE puts a folder of list "
    "files there.";

// Makes the table, replacing one that is there only when `replace` (else refused, naming --force).
// Rights are granted as for every table (grantTableRights): readers read, administrators write.
void createServerListTable(PgConnection& connection, bool replace);
// Replaces every list the table holds by `lists`.
void storeServerLists(PgConnection& connection, const ListSet& lists);

// The pick lists in the server's table, through the store of `connection`. A rebuild is one
// transaction that first locks the table: only administrators may, so a reader is refused before
// anything is read, and two administrators' rebuilds follow one another.
class ServerLists final : public PickLists {
public:
    explicit ServerLists(Connection& connection) : connection_(connection) {}

    std::vector<std::string> categories() override;
    std::vector<std::string> frequencies() override;
    std::optional<std::vector<std::string>> subjects(std::string_view category) override;

    void beginRebuild() override;
    void finishRebuild() override;
    void abandonRebuild() noexcept override;

    // Any text names a list on the server.
    void checkSubjectNames(const std::vector<std::string>& /*categories*/) override {}
    void writeCategories(const std::vector<std::string>& items) override;
    void writeSubjects(std::string_view category, const std::vector<std::string>& items) override;
    void writeFrequencies(const std::vector<std::string>& items) override;

private:
    PgConnection& server();

    Connection& connection_;
};

}  // namespace lumaref
