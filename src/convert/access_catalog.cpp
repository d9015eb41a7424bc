#include "convert/access_catalog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>

#include "text/ascii.h"
#include "text/error.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

constexpr unsigned char kDefinitionPageType = 0x02;
constexpr unsigned char kSystemTableType = 0x53;
constexpr unsigned char kUserTableType = 0x4e;

// A name as a message can show it on one line: control characters written as \xNN.
std::string shown(const std::string& name) {
    std::string out = "'";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "'";
}

bool holdsControlCharacter(const std::string& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return true;
    }
    return false;
}

// The flags Access sets on its own tables.
constexpr std::uint32_t kSystemFlags = 0x80000002;

bool startsWith(const std::string& name, std::string_view prefix) {
    return name.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(std::string_view(name).substr(0, prefix.size()), prefix);
}

// Access names its own tables so: MSys..., f_<id>_... for the values of a multi-valued or attachment
// field, ~... for temporary ones.
bool systemName(const std::string& name) {
    return startsWith(name, "MSys") || startsWith(name, "f_") || startsWith(name, "~");
}

}  // namespace

std::function<DefinitionPage(std::size_t)> definitionPageReader(const std::string& path, bool jet3) {
    struct File {
        int fd;
        explicit File(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
        ~File() {
            if (fd >= 0) ::close(fd);
        }
        File(const File&) = delete;
        File& operator=(const File&) = delete;
    };
    const auto file = std::make_shared<File>(path);
    const std::size_t pageSize = jet3 ? 2048 : 4096;
    const std::size_t typeOffset = jet3 ? 20 : 40;
    return [file, pageSize, typeOffset](std::size_t page) {
        unsigned char bytes[64] = {};
        const ssize_t got = ::pread(file->fd, bytes, typeOffset + 1, static_cast<off_t>(page * pageSize));
        if (got != static_cast<ssize_t>(typeOffset + 1) || bytes[0] != kDefinitionPageType) {
            return DefinitionPage::Other;
        }
        if (bytes[typeOffset] == kSystemTableType) return DefinitionPage::SystemTable;
        return bytes[typeOffset] == kUserTableType ? DefinitionPage::UserTable : DefinitionPage::Other;
    };
}

std::vector<std::string> checkedUserTables(const std::vector<CatalogEntry>& entries,
                                           const std::function<DefinitionPage(std::size_t)>& pageKind,
                                           const std::string& path) {
    const std::string damaged = "The list of tables of the Access file '" + path + "' is damaged: ";
    std::map<std::size_t, const CatalogEntry*> byPage;
    std::vector<std::string> names;
    // Every object has a name, tables (looked at first) and the others alike.
    for (const bool tables : {true, false}) {
        for (const CatalogEntry& entry : entries) {
            if (entry.table != tables) continue;
            if (entry.name.empty())
                throw Error(damaged + (tables ? "a table" : "an object") + " has no name.");
            if (holdsControlCharacter(entry.name)) {
                throw Error(damaged + "the name " + shown(entry.name) + " holds a control character.");
            }
        }
    }
    for (const CatalogEntry& table : entries) {
        if (!table.table) continue;
        const auto [at, added] = byPage.emplace(table.page, &table);
        if (!added) {
            throw Error(damaged + "tables " + shown(at->second->name) + " and " + shown(table.name) +
                        " point to the same table definition (page " + std::to_string(table.page) + ").");
        }
        const bool user = (table.flags & kSystemFlags) == 0;
        if (!user) {
            // A flag changed by damage would otherwise leave a user table out without a word.
            if (!systemName(table.name)) {
                throw Error(damaged + "table " + shown(table.name) +
                            " is marked as one of Access's own tables, which are not named so.");
            }
            continue;
        }
        if (startsWith(table.name, "MSys")) {
            throw Error(damaged + "it lists the system table " + shown(table.name) + " as a user table.");
        }
        for (const std::string& name : names) {
            if (sameName(name, table.name))
                throw Error(damaged + "two tables are named " + shown(table.name) + ".");
        }
        switch (pageKind(table.page)) {
            case DefinitionPage::UserTable:
                break;
            case DefinitionPage::SystemTable:
                throw Error(damaged + "table " + shown(table.name) + " points to page " +
                            std::to_string(table.page) + ", which defines a system table.");
            case DefinitionPage::Other:
                throw Error(damaged + "table " + shown(table.name) + " points to page " +
                            std::to_string(table.page) + ", which holds no table definition.");
        }
        names.push_back(table.name);
    }
    // A table whose entry was damaged into another kind of object would be left out without a word.
    for (const CatalogEntry& other : entries) {
        if (other.table || byPage.contains(other.page) || pageKind(other.page) != DefinitionPage::UserTable) {
            continue;
        }
        throw Error(damaged + "the entry " + shown(other.name) + " points to page " +
                    std::to_string(other.page) + ", the definition of a table no entry lists as a table.");
    }
    return names;
}

}  // namespace lumaref
