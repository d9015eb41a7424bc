#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumaref {

// What one run of lumaref-convert is asked to do. A new mode adds a Mode value, the fields it needs,
// a branch in parseConvertArguments() and one in the tool's dispatch.
struct ConvertInvocation {
    enum class Mode {
        Help,
        ConvertAccess,
        NewDatabase,
        LoadCsv,
        LoadMasterList,
        LoadJcr,
        LoadSjr,
        LoadDoaj,
        LoadList,
        LoadLists
    };

    Mode mode = Mode::Help;
    std::string source;   // ConvertAccess: the Access file
    std::string target;   // the SQLite database or PostgreSQL connection to write; empty: left to the
                          // data folder (--new and every load)
    bool force = false;   // replace an existing target
    bool quiet = false;   // no progress, no summary
    std::string csvFile;  // LoadCsv: the CSV file and the table it fills
    std::string table;
    bool append = false;  // LoadCsv: add to the table's rows instead of replacing them
    std::string readers;  // a PostgreSQL target's roles that may read, and that may also write
    std::string admins;
    std::string masterListFile;  // LoadMasterList: the CSV download, its category and index
    std::string category;
    std::string index;          // SCI, SCIE, ESCI, AHCI or none; empty: from the file name
    bool replaceIndex = false;  // LoadMasterList: clear the flag of journals the download no longer lists
    std::string rankingFile;    // LoadJcr, LoadSjr, LoadDoaj, LoadList: the ranking file
    std::string listName;       // LoadList: the list's name
    std::optional<int> year;    // LoadSjr, LoadList: the figures' year instead of the file's
    // A folder of list files for a PostgreSQL target's pick lists: with a copy or --new, or alone
    // (LoadLists).
    std::string listsFolder;
};

// A command line the tool cannot act on; what() says why, in words for the user.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// arguments: argv[1..]. Throws UsageError.
ConvertInvocation parseConvertArguments(const std::vector<std::string>& arguments);

// The help text, naming the program as invoked.
std::string convertUsage(const std::string& program);

}  // namespace lumaref
