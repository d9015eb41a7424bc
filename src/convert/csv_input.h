#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/error.h"

namespace lumaref {

class Connection;

// A path in double quotes, as the loaders' messages show it.
std::string quotedPath(const std::string& path);

// A CSV file as UTF-8 text, read as every text file is (text_file.h), refusing an empty file and one
// that is not text (a workbook saved as it is) with a message that says so.
std::string readCsvText(const std::string& path);

// The database a loader writes to in one transaction, set up as the sqlite3 shell's .import writes:
// under the journal the file has (the rollback journal between runs of the program, so each page is
// written once), the commit on the disk before the load is reported done, and a page cache that holds
// the whole load, so no spill syncs the journal halfway. Refuses a database that cannot be written.
std::unique_ptr<Connection> openDatabaseForLoad(const std::string& path);

}  // namespace lumaref
