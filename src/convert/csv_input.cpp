#include "convert/csv_input.h"

#include <fstream>

#include "db/connection.h"
#include "db/statement.h"
#include "settings/access_database_advice.h"
#include "settings/data_folder.h"
#include "text/error.h"
#include "text/file_error.h"
#include "text/non_regular_file.h"
#include "text/text_file.h"

namespace lumaref {

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }

namespace {

// What a file that is not text may be instead, from its first bytes.
std::string workbookHint(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char head[4] = {};
    file.read(head, sizeof head);
    const std::string_view start(head, static_cast<std::size_t>(file.gcount()));
    if (start == "PK\x03\x04") return " It looks like a spreadsheet workbook; save it as CSV first.";
    if (start == "\xD0\xCF\x11\xE0") return " It looks like an Excel 97-2003 workbook; save it as CSV first.";
    return "";
}

}  // namespace

std::string readCsvText(const std::string& path) {
    const std::string_view what = "Cannot read the CSV file";
    if (const std::string kind = nonRegularFileKind(path); !kind.empty()) {
        throw fileError(what, path, "It is " + kind + ", not a regular file");
    }
    std::string text;
    try {
        if (const int failure = readTextFileOrErrno(path, text); failure != 0)
            throw fileError(what, path, failure);
    } catch (const NotTextError& notText) {
        throw Error("The CSV file " + quotedPath(path) + " is not a text file: " + notText.what() + "." +
                    workbookHint(path) + std::string(kNothingLoaded));
    }
    if (text.empty()) {
        throw Error("The CSV file " + quotedPath(path) + " is empty." + std::string(kNothingLoaded));
    }
    return text;
}

std::unique_ptr<Connection> openDatabaseForLoad(const std::string& path) {
    auto connection = std::make_unique<Connection>(connectionStringFor(path), "lumaref-convert");
    connection->keepJournalMode();
    try {
        connection->open();
    } catch (const AccessDatabaseError& access) {
        throw Error(accessDatabaseAdvice(access));
    }
    if (connection->readOnly()) {
        throw Error("The database " + quotedPath(connection->dataSourcePath()) + " cannot be written to.");
    }
    try {
        exec(connection->handle(), "PRAGMA synchronous=FULL");
        exec(connection->handle(), "PRAGMA cache_size=-65536");
    } catch (const SqliteError& failure) {
        throw Error("Cannot prepare the database: " + std::string(failure.what()) +
                    std::string(kNothingLoaded));
    }
    return connection;
}

}  // namespace lumaref
