#include "convert/csv_input.h"

#include "db/connection.h"
#include "db/statement.h"
#include "settings/access_database_advice.h"
#include "settings/data_folder.h"
#include "text/error.h"
#include "text/text_file.h"

namespace lumaref {

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }

std::string readCsvText(const std::string& path) {
    const std::string bytes = readWholeFile(path, "Cannot read the CSV file");
    if (bytes.empty()) {
        throw Error("The CSV file " + quotedPath(path) + " is empty." + std::string(kNothingLoaded));
    }
    if (bytes.find('\0') != std::string::npos) {
        std::string hint;
        if (bytes.starts_with("PK\x03\x04")) {
            hint = " It looks like a spreadsheet workbook; save it as CSV first.";
        } else if (bytes.compare(0, 4, "\xD0\xCF\x11\xE0") == 0) {
            hint = " It looks like an Excel 97-2003 workbook; save it as CSV first.";
        }
        throw Error("The file " + quotedPath(path) + " is not a CSV text file: it holds binary data." + hint +
                    std::string(kNothingLoaded));
    }
    return decodeText(bytes);
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
