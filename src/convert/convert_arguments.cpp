#include "convert/convert_arguments.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "db/postgres_connection.h"

namespace lumaref {

namespace {

bool isOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// List files beside an SQLite database stay files: only a server keeps the lists in a table.
ConvertInvocation listsOntoAServer(ConvertInvocation invocation) {
    if (!invocation.listsFolder.empty() && !isPostgresConnectionString(invocation.target))
        throw UsageError("'--lists' carries list files onto a PostgreSQL server; TARGET is not one");
    return invocation;
}

}  // namespace

ConvertInvocation parseConvertArguments(const std::vector<std::string>& arguments) {
    using Mode = ConvertInvocation::Mode;
    ConvertInvocation invocation;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    bool tableGiven = false;
    std::vector<Mode> modes;  // the steps asked for: one at most
    // An option's value is the next argument, whatever it looks like.
    const auto valueOf = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            throw UsageError("'" + arguments[i] + "' needs a value");
        }
        return arguments[++i];
    };
    // The options naming a ranking file, with the step each asks for.
    const std::pair<std::string_view, Mode> rankingOptions[] = {{"--jcr", Mode::LoadJcr},
                                                                {"--sjr", Mode::LoadSjr},
                                                                {"--doaj", Mode::LoadDoaj},
                                                                {"--list", Mode::LoadList}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto ranking =
            std::find_if(std::begin(rankingOptions), std::end(rankingOptions),
                         [&argument](const auto& option) { return option.first == argument; });
        if (optionsEnded || !isOption(argument)) {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;  // a file name that starts with "-" follows
        } else if (argument == "--force") {
            invocation.force = true;
        } else if (argument == "--quiet") {
            invocation.quiet = true;
        } else if (argument == "--new") {
            // Its target may be left out, for the data folder's database: then an option or nothing follows.
            if (i + 1 < arguments.size() && !isOption(arguments[i + 1])) invocation.target = valueOf(i);
            modes.push_back(Mode::NewDatabase);
        } else if (argument == "--csv") {
            invocation.csvFile = valueOf(i);
            modes.push_back(Mode::LoadCsv);
        } else if (argument == "--table") {
            invocation.table = valueOf(i);
            tableGiven = true;
        } else if (argument == "--readers") {
            invocation.readers = valueOf(i);
        } else if (argument == "--admins") {
            invocation.admins = valueOf(i);
        } else if (argument == "--master-list") {
            invocation.masterListFile = valueOf(i);
            modes.push_back(Mode::LoadMasterList);
        } else if (argument == "--category") {
            invocation.category = valueOf(i);
        } else if (argument == "--index") {
            invocation.index = valueOf(i);
        } else if (argument == "--replace-index") {
            invocation.replaceIndex = true;
        } else if (ranking != std::end(rankingOptions)) {
            invocation.rankingFile = valueOf(i);
            modes.push_back(ranking->second);
        } else if (argument == "--name") {
            invocation.listName = valueOf(i);
        } else if (argument == "--year") {
            const std::string& year = valueOf(i);
            if (year.size() != 4 ||
                !std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; }))
                throw UsageError("'--year' takes a year of four digits, not '" + year + "'");
            invocation.year = std::stoi(year);
        } else if (argument == "--lists") {
            invocation.listsFolder = valueOf(i);
        } else if (argument == "--append") {
            invocation.append = true;
        } else if (argument == "--help" || argument == "-h") {
            return ConvertInvocation{};
        } else {
            throw UsageError("unknown option '" + argument + "'");
        }
    }

    if (modes.size() > 1) {
        throw UsageError(
            "'--new', '--csv', '--master-list', '--jcr', '--sjr', '--doaj' and '--list' are separate steps");
    }
    // Help: no step named, so an Access file to convert.
    const Mode mode = modes.empty() ? Mode::Help : modes[0];
    const bool load = mode != Mode::Help && mode != Mode::NewDatabase && mode != Mode::LoadCsv;
    if (!invocation.listsFolder.empty() && (mode == Mode::LoadCsv || load))
        throw UsageError("'--lists' goes with a new database or a copy, or alone");
    if ((!invocation.readers.empty() || !invocation.admins.empty()) && (mode == Mode::LoadCsv || load))
        throw UsageError("'--readers' and '--admins' go with a new database or a copy");
    if ((!invocation.category.empty() || !invocation.index.empty() || invocation.replaceIndex) &&
        mode != Mode::LoadMasterList) {
        throw UsageError("'--category', '--index' and '--replace-index' go with '--master-list'");
    }
    if (!invocation.listName.empty() && mode != Mode::LoadList)
        throw UsageError("'--name' goes with '--list'");
    if (invocation.year && mode != Mode::LoadSjr && mode != Mode::LoadList)
        throw UsageError("'--year' goes with '--sjr' and '--list'");
    if (load) {
        const std::string option = mode == Mode::LoadMasterList ? "--master-list"
                                   : mode == Mode::LoadJcr      ? "--jcr"
                                   : mode == Mode::LoadSjr      ? "--sjr"
                                   : mode == Mode::LoadDoaj     ? "--doaj"
                                                                : "--list";
        if (invocation.force || invocation.append)
            throw UsageError("'--force' and '--append' do not go with '" + option + "'");
        if (mode == Mode::LoadMasterList && invocation.category.empty())
            throw UsageError("'--master-list' needs '--category NAME'");
        if (mode == Mode::LoadList && invocation.listName.empty())
            throw UsageError("'--list' needs '--name NAME'");
    }
    if ((tableGiven || invocation.append) && mode != Mode::LoadCsv)
        throw UsageError("'--table' and '--append' go with '--csv'");
    if (mode == Mode::NewDatabase) {
        if (!positional.empty()) throw UsageError("'--new' takes no other file");
        invocation.mode = Mode::NewDatabase;
        return listsOntoAServer(invocation);
    }
    if (mode != Mode::Help) {
        if (mode == Mode::LoadCsv) {
            if (!tableGiven) throw UsageError("'--csv' needs '--table NAME'");
            if (invocation.force) throw UsageError("'--force' does not go with '--csv'");
        }
        // Without a target, the database lumaref opens.
        if (positional.size() > 1) throw UsageError("too many arguments");
        if (!positional.empty() && positional[0].empty()) throw UsageError("a file name is empty");
        invocation.mode = mode;
        if (!positional.empty()) invocation.target = positional[0];
        return invocation;
    }

    if (!invocation.listsFolder.empty() && positional.size() == 1) {
        if (invocation.force) throw UsageError("'--force' does not go with '--lists' alone");
        if (positional[0].empty()) throw UsageError("a file name is empty");
        invocation.mode = ConvertInvocation::Mode::LoadLists;
        invocation.target = positional[0];
        return listsOntoAServer(invocation);
    }
    if (!invocation.listsFolder.empty() && positional.size() == 1) {
        if (invocation.force) throw UsageError("'--force' does not go with '--lists' alone");
        if (positional[0].empty()) throw UsageError("a file name is empty");
        invocation.mode = Mode::LoadLists;
        invocation.target = positional[0];
        return listsOntoAServer(invocation);
    }
    if (positional.size() != 2) {
        throw UsageError(positional.size() < 2 ? "expected a source Access file and a target database"
                                               : "too many arguments");
    }
    invocation.mode = Mode::ConvertAccess;
    invocation.source = positional[0];
    invocation.target = positional[1];
    if (invocation.source.empty() || invocation.target.empty()) throw UsageError("a file name is empty");
    return listsOntoAServer(invocation);
}

std::string convertUsage(const std::string& program) {
    return "Usage: " + program +
           " SOURCE.mdb TARGET [--force] [--quiet]\n"
           "       " +
           program +
           " --new [TARGET] [--force] [--quiet] [--readers ROLE] [--admins ROLE]\n"
           "       " +
           program +
           " --csv FILE --table NAME [--append] [--quiet] [TARGET]\n"
           "       " +
           program +
           " --master-list FILE --category NAME [--index SCI|SCIE|ESCI|AHCI|none] [--replace-index]\n"
           "                       [--quiet] [TARGET]\n"
           "       " +
           program +
           " --jcr FILE [--quiet] [TARGET]\n"
           "       " +
           program +
           " --sjr FILE [--year YYYY] [--quiet] [TARGET]\n"
           "       " +
           program +
           " --doaj FILE [--quiet] [TARGET]\n"
           "       " +
           program +
           " --list FILE --name NAME [--year YYYY] [--quiet] [TARGET]\n"
           "       " +
           program +
           " --lists FOLDER [--quiet] [--readers ROLE] [--admins ROLE] TARGET\n"
           "\n"
           "TARGET may also be a PostgreSQL database (postgresql://... or libpq key=value pairs; the\n"
           "password comes from ~/.pgpass, PGPASSWORD or a service file). SOURCE may then also be an\n"
           "SQLite database. Everything goes across in one transaction, the pick lists too: the list\n"
           "files of --lists FOLDER, else of lists/ beside SOURCE. --lists alone puts a folder's list\n"
           "files into the server's pick lists, replacing them.\n"
           "\n"
           "Copies every table of an Access database (Jet 3, Jet 4 or ACE) into a new SQLite database\n"
           "that Lumaref opens. The source is only read. TARGET is written only when every table\n"
           "converted.\n"
           "With --new, creates an empty Lumaref database with the tables of schema.sql.\n"
           "With --csv, loads a CSV file (a ranking table such as jcr2018 or JCRQ1..JCRQ4) into a table\n"
           "of the database TARGET, in one transaction.\n"
           "Without TARGET, --new and the loads work on the database lumaref opens: Database.mdb in the\n"
           "current folder when lists/ stands beside the program, else in the data folder (data= in\n"
           "~/.config/lumaref/lumaref.conf or /etc/lumaref.conf, else ~/.local/share/lumaref).\n"
           "With --master-list, adds the journals of a master-list download (CSV) to TARGET under the\n"
           "category NAME, one record per Web of Science category; a journal already stored gets the\n"
           "index flag instead of a second record. The index comes from the file name or --index. Journals\n"
           "of the category that carry the flag but are not in the file are counted; --replace-index\n"
           "clears their flag.\n"
           "With --jcr, replaces jcr2018 and JCRQ1..JCRQ4 from one citation reports export, and records its\n"
           "figures by year and category. --sjr (the SJR journal-rank download), --doaj (the DOAJ journal\n"
           "CSV) and --list (an institution's own list, any CSV with an ISSN or E-ISSN column, filed under\n"
           "NAME) record their figures too; loading a source and year again replaces its figures. Read\n"
           "them through the view journal_rankings.\n"
           "\n"
           "  --force   replace TARGET if it exists\n"
           "  --append  add the file's rows to the table instead of replacing its rows\n"
           "  --readers ROLE  (PostgreSQL) the role that may read the tables\n"
           "  --admins ROLE   (PostgreSQL) the role that may also add and change rows\n"
           "  --year YYYY     the year of an SJR download or own list, instead of the file's\n"
           "  --replace-index clear the flag of the category's journals the master list no longer lists\n"
           "  --lists FOLDER  (PostgreSQL) the list files for the server's pick lists\n"
           "  --quiet   no progress and no summary\n";
}

}  // namespace lumaref
