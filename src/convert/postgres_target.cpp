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

class StopObserver : public ConversionObserver {
public:
    explicit StopObserver(std::function<bool()> stopRequested) : stopRequested_(std::move(stopRequested)) {}
    bool stopRequested() const override { return stopRequested_ && stopRequested_(); }

private:
    std::function<bool()> stopRequested_;
};

std::string rolesGranted(const ConvertInvocation& invocation) {
    std::string text;
    if (!invocation.readers.empty()) text += " Readers: " + invocation.readers + ".";
    if (!invocation.admins.empty()) text += " Administrators: " + invocation.admins + ".";
    return text;
}

int copyAcross(const ConvertInvocation& invocation, PgConnection& target, std::ostream& out,
               const std::function<bool()>& stopRequested) {
    PostgresCopySummary summary;
    if (invocation.mode == ConvertInvocation::Mode::NewDatabase) {
        const DatabaseFile schema(":memory:", DatabaseFile::Mode::Create);
        exec(schema.handle(), kSchemaSql);
        summary = copySqliteToPostgres(schema.handle(), target, invocation.force);
    } else if (isSqliteFile(invocation.source)) {
        const DatabaseFile source(invocation.source, DatabaseFile::Mode::ReadOnly);
        summary = copySqliteToPostgres(source.handle(), target, invocation.force);
    } else {
        const ScratchFolder scratch;
        const std::string converted = scratch.file("converted.db");
        StopObserver observer(stopRequested);
        convertAccessDatabase(invocation.source, converted, false, &observer);
        const DatabaseFile source(converted, DatabaseFile::Mode::ReadOnly);
        summary = copySqliteToPostgres(source.handle(), target, invocation.force);
    }
    grantTableRights(target, summary.tables, invocation.readers, invocation.admins);
    // The figures' view and keys, which a table copy does not carry, with the journals' rights.
    addRankingTables(target);
    if (!invocation.quiet) {
        out << "Created " << summary.tables.size() << (summary.tables.size() == 1 ? " table, " : " tables, ")
            << summary.rows << (summary.rows == 1 ? " row" : " rows") << " on the server."
            << rolesGranted(invocation) << "\n";
    }
    return 0;
}

// The CSV goes through the same loader as for a file, into a scratch database of the same tables,
// and from there to the server.
int loadCsv(const ConvertInvocation& invocation, PgConnection& target, std::ostream& out, std::ostream& err,
            const std::function<bool()>& stopRequested) {
    const ScratchFolder scratch;
    ConvertInvocation local = invocation;
    local.target = scratch.file("load.db");
    local.append = true;
    local.quiet = true;
    createNewDatabase(local.target, false);
    if (runCsvLoad(local, out, err, false, stopRequested) != 0) return 1;
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

int runPostgresTarget(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                      const std::function<bool()>& stopRequested) {
    try {
        if (namesPassword(invocation.target)) {
            throw Error(
                "The target names a password; give it to libpq in ~/.pgpass, PGPASSWORD or a service file.");
        }
        PgConnection target(invocation.target);
        if (invocation.mode == ConvertInvocation::Mode::LoadCsv) {
            return loadCsv(invocation, target, out, err, stopRequested);
        }
        switch (invocation.mode) {
            case ConvertInvocation::Mode::LoadJcr:
            case ConvertInvocation::Mode::LoadSjr:
            case ConvertInvocation::Mode::LoadDoaj:
            case ConvertInvocation::Mode::LoadList:
                return runRankingLoad(invocation, out, err, &target);
            case ConvertInvocation::Mode::LoadMasterList:
                return runMasterListLoad(invocation, out, err, &target);
            default:
                break;
        }
        return copyAcross(invocation, target, out, stopRequested);
    } catch (const Error& error) {
        err << "lumaref-convert: " << error.what() << "\n";
        return 1;
    }
}

}  // namespace lumaref
