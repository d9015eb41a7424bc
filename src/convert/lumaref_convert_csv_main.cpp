// The database-starting and ranking-table modes of lumaref-convert, as a command of their own.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "convert/csv_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& word : args) {
        if (word == "--new") return lumaref::runNewDatabaseCommand(args, std::cout, std::cerr);
        if (word == "--csv") return lumaref::runCsvLoadCommand(args, std::cout, std::cerr, ::isatty(2) == 1);
    }
    std::cerr << "Usage:\n" << lumaref::kCsvCommandUsage;
    return 2;
}
