#include "convert/convert_arguments.h"

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
    ConvertInvocation invocation;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    bool newDatabase = false;
    bool loadCsv = false;
    bool tableGiven = false;
    bool masterList = false;
    bool jcr = false;
    // An option's value is the next argument, whatever it looks like.
    const auto valueOf = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            throw UsageError("'" + arguments[i] + "' needs a value");
        }
        return arguments[++i];
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
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
            newDatabase = true;
        } else if (argument == "--csv") {
            invocation.csvFile = valueOf(i);
            loadCsv = true;
        } else if (argument == "--table") {
            invocation.table = valueOf(i);
            tableGiven = true;
        } else if (argument == "--readers") {
            invocation.readers = valueOf(i);
        } else if (argument == "--admins") {
            invocation.admins = valueOf(i);
        } else if (argument == "--master-list") {
            invocation.masterListFile = valueOf(i);
            masterList = true;
        } else if (argument == "--category") {
            invocation.category = valueOf(i);
        } else if (argument == "--index") {
            invocation.index = valueOf(i);
        } else if (argument == "--jcr") {
            invocation.jcrFile = valueOf(i);
            jcr = true;
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

    if (int(newDatabase) + int(loadCsv) + int(masterList) + int(jcr) > 1) {
        throw UsageError("'--new', '--csv', '--master-list' and '--jcr' are separate steps");
    }
    if (!invocation.listsFolder.empty() && (loadCsv || masterList || jcr))
        throw UsageError("'--lists' goes with a new database or a copy, or alone");
    if ((!invocation.readers.empty() || !invocation.admins.empty()) && (loadCsv || masterList || jcr))
        throw UsageError("'--readers' and '--admins' go with a new database or a copy");
    if ((!invocation.category.empty() || !invocation.index.empty()) && !masterList) {
        throw UsageError("'--category' and '--index' go with '--master-list'");
    }
    if (masterList || jcr) {
        if (invocation.force || invocation.append) {
            throw UsageError(std::string("'--force' and '--append' do not go with '") +
                             (masterList ? "--master-list" : "--jcr") + "'");
        }
        if (masterList && invocation.category.empty())
            throw UsageError("'--master-list' needs '--category NAME'");
        if (positional.size() != 1) {
            throw UsageError(positional.empty() ? "expected the database to load into"
                                                : "too many arguments");
        }
        if (positional[0].empty()) throw UsageError("a file name is empty");
        invocation.mode =
            masterList ? ConvertInvocation::Mode::LoadMasterList : ConvertInvocation::Mode::LoadJcr;
        invocation.target = positional[0];
        return invocation;
    }
    if ((tableGiven || invocation.append) && !loadCsv)
        throw UsageError("'--table' and '--append' go with '--csv'");
    if (newDatabase) {
        if (!positional.empty()) throw UsageError("'--new' takes no other file");
        invocation.mode = ConvertInvocation::Mode::NewDatabase;
        return listsOntoAServer(invocation);
    }
    if (loadCsv) {
        if (!tableGiven) throw UsageError("'--csv' needs '--table NAME'");
        if (invocation.force) throw UsageError("'--force' does not go with '--csv'");
        if (positional.size() > 1) throw UsageError("too many arguments");
        if (!positional.empty() && positional[0].empty()) throw UsageError("a file name is empty");
        invocation.mode = ConvertInvocation::Mode::LoadCsv;
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
    if (positional.size() != 2) {
        throw UsageError(positional.size() < 2 ? "expected a source Access file and a target database"
                                               : "too many arguments");
    }
    invocation.mode = ConvertInvocation::Mode::ConvertAccess;
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
           " --master-list FILE --category NAME [--index SCI|SCIE|ESCI|AHCI|none] [--quiet] TARGET\n"
           "       " +
           program +
           " --jcr FILE [--quiet] TARGET\n"
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
           "Without TARGET, --new and --csv work on the database lumaref opens: Database.mdb in the\n"
           "current folder when lists/ stands beside the program, else in the data folder (data= in\n"
           "~/.config/lumaref/lumaref.conf or /etc/lumaref.conf, else ~/.local/share/lumaref).\n"
           "With --master-list, adds the journals of a master-list download (CSV) to TARGET under the\n"
           "category NAME, one record per Web of Science category; a journal already stored gets the\n"
           "index flag instead of a second record. The index comes from the file name or --index.\n"
           "With --jcr, replaces jcr2018 and JCRQ1..JCRQ4 from one citation reports export.\n"
           "\n"
           "  --force   replace TARGET if it exists\n"
           "  --append  add the file's rows to the table instead of replacing its rows\n"
           "  --readers ROLE  (PostgreSQL) the role that may read the tables\n"
           "  --admins ROLE   (PostgreSQL) the role that may also add and change rows\n"
           "  --lists FOLDER  (PostgreSQL) the list files for the server's pick lists\n"
           "  --quiet   no progress and no summary\n";
}

}  // namespace lumaref
