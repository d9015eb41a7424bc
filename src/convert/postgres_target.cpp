#include "convert/postgres_target.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "convert/access_converter.h"
#include "convert/csv_command.h"
#include "db/database_file.h"
#include "db/new_database.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"
#include "db/ranking_tables.h"
#include "db/statement.h"
#include "lumaref_schema.h"
#include "picklists/list_folder.h"
#include "picklists/server_lists.h"
#include "text/error.h"

namespace fs = std::filesystem;

namespace lumaref {

namespace {

// A folder of our own for the intermediate SQLite file, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "lumaref-convert-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw Error("Cannot create a temporary folder in " + pattern);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

bool isSqliteFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    return in.gcount() == sizeof header &&
           std::string_view(header, sizeof header) == std::string_view("SQLite format 3\0", 16);
}

std::string rolesGranted(const ConvertInvocation& invocation) {
    std::string text;
    if (!invocation.readers.empty()) text += " Readers: " + invocation.readers + ".";
    if (!invocation.admins.empty()) text += " Administrators: " + invocation.admins + ".";
    return text;
}

// The list files that go with a copy: --lists, else the lists/ folder beside the source, as the data
// folder keeps them; none for a new database without --lists.
std::optional<std::string> listFolderOf(const ConvertInvocation& invocation) {
    if (!invocation.listsFolder.empty()) return invocation.listsFolder;
    if (invocation.mode == ConvertInvocation::Mode::NewDatabase) return std::nullopt;
    const fs::path beside = fs::path(invocation.source).parent_path() / "lists";
    std::error_code ec;
    if (!fs::is_directory(beside, ec)) return std::nullopt;
    return beside.string();
}

// The tables, and the pick lists' table with the lists of the folder that goes with them, in one
// transaction.
int copyAcross(const ConvertInvocation& invocation, PgConnection& target, std::ostream& out) {
    const std::optional<std::string> listFolder = listFolderOf(invocation);
    const std::optional<ListSet> lists =
        listFolder ? std::optional<ListSet>(readListFolder(*listFolder)) : std::nullopt;
    const auto copy = [&](sqlite3* source) {
        PostgresCopySummary copied;
        inOneTransaction(target, [&] {
            copied = copySqliteToPostgres(source, target, invocation.force);
            createServerListTable(target, invocation.force);
            if (lists) storeServerLists(target, *lists);
        });
        return copied;
    };
    PostgresCopySummary summary;
    if (invocation.mode == ConvertInvocation::Mode::NewDatabase) {
        const DatabaseFile schema(":memory:", DatabaseFile::Mode::Create);
        exec(schema.handle(), kSchemaSql);
        summary = copy(schema.handle());
    } else if (isSqliteFile(invocation.source)) {
        const DatabaseFile source(invocation.source, DatabaseFile::Mode::ReadOnly);
        summary = copy(source.handle());
    } else {
        const ScratchFolder scratch;
        const std::string converted = scratch.file("converted.db");
        convertAccessDatabase(invocation.source, converted, false);
        const DatabaseFile source(converted, DatabaseFile::Mode::ReadOnly);
        summary = copy(source.handle());
    }
    std::vector<std::string> granted = summary.tables;
    granted.emplace_back(kServerListsTable);
    grantTableRights(target, granted, invocation.readers, invocation.admins);
    // The figures' view and keys, which a table copy does not carry, with the journals' rights.
    addRankingTables(target);
    if (!invocation.quiet) {
        out << "Created " << summary.tables.size() << (summary.tables.size() == 1 ? " table, " : " tables, ")
            << summary.rows << (summary.rows == 1 ? " row" : " rows") << " on the server."
            << rolesGranted(invocation);
        if (listFolder) out << " Pick lists from " << *listFolder << ".";
        out << "\n";
    }
    return 0;
}

// A folder's list files into the server's pick lists, replacing what they held; the table is made
// when the server has none yet.
int loadLists(const ConvertInvocation& invocation, PgConnection& target, std::ostream& out) {
    const ListSet lists = readListFolder(invocation.listsFolder);
    const std::string quoted = quoteIdentifier(kServerListsTable);
    const std::optional<std::string_view> name[] = {std::string_view(quoted)};
    inOneTransaction(target, [&] {
        if (target.execPrepared("SELECT to_regclass($1)", name).isNull(0, 0))
            createServerListTable(target, false);
        storeServerLists(target, lists);
    });
    grantTableRights(target, {std::string(kServerListsTable)}, invocation.readers, invocation.admins);
    if (!invocation.quiet) {
        out << "Put the pick lists of " << invocation.listsFolder
            << " on the server: " << lists.categories.size() << " categories, " << lists.subjects.size()
            << " subject lists, " << lists.frequencies.size() << " frequencies." << rolesGranted(invocation)
            << "\n";
    }
    return 0;
}

// The CSV goes through the same loader as for a file, into a scratch database of the same tables,
// and from there to the server.
int loadCsv(const ConvertInvocation& invocation, PgConnection& target, std::ostream& out, std::ostream& err) {
    const ScratchFolder scratch;
    ConvertInvocation local = invocation;
    local.target = scratch.file("load.db");
    local.append = true;
    local.quiet = true;
    createNewDatabase(local.target, false);
    if (runCsvLoad(local, out, err, false) != 0) return 1;
    const DatabaseFile loaded(local.target, DatabaseFile::Mode::ReadOnly);
    const std::size_t replaced = loadTableRows(loaded.handle(), invocation.table, target, invocation.append);
    if (!invocation.quiet) {
        out << "Loaded the rows of " << invocation.csvFile << " into " << invocation.table
            << " on the server";
        if (!invocation.append) out << " (replacing " << replaced << (replaced == 1 ? " row)" : " rows)");
        out << ".\n";
    }
    return 0;
}

}  // namespace

bool hasPostgresTarget(const ConvertInvocation& invocation) {
    return invocation.mode != ConvertInvocation::Mode::Help && isPostgresConnectionString(invocation.target);
}

int runPostgresTarget(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err) {
    try {
        if (namesPassword(invocation.target)) {
            throw Error(
                "The target names a password; give it to libpq in ~/.pgpass, PGPASSWORD or a service file.");
        }
        PgConnection target(invocation.target);
        if (invocation.mode == ConvertInvocation::Mode::LoadCsv) {
            return loadCsv(invocation, target, out, err);
        }
        switch (invocation.mode) {
            case ConvertInvocation::Mode::LoadJcr:
            case ConvertInvocation::Mode::LoadSjr:
            case ConvertInvocation::Mode::LoadDoaj:
            case ConvertInvocation::Mode::LoadList:
                return runRankingLoad(invocation, out, err, &target);
            case ConvertInvocation::Mode::LoadLists:
                return loadLists(invocation, target, out);
            case ConvertInvocation::Mode::LoadMasterList:
                return runMasterListLoad(invocation, out, err, &target);
            default:
                break;
        }
        return copyAcross(invocation, target, out);
    } catch (const Error& error) {
        err << "lumaref-convert: " << error.what() << "\n";
        return 1;
    }
}

}  // namespace lumaref
