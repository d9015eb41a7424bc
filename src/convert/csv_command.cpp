#include "convert/csv_command.h"

#include <chrono>
#include <optional>
#include <ostream>

#include "convert/new_database.h"
#include "data/error.h"

namespace lumaref {

namespace {

constexpr int kUsageError = 2;

int usageError(std::ostream& err, const std::string& problem) {
    err << "lumaref-convert: " << problem << "\nUsage:\n" << kCsvCommandUsage;
    return kUsageError;
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string separatorName(char separator) {
    switch (separator) {
        case ';':
            return "semicolons";
        case '\t':
            return "tabs";
        default:
            return "commas";
    }
}

}  // namespace

std::string csvLoadSummary(const CsvLoadReport& report, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    std::string text = "Loaded " + plural(report.rowsLoaded, "row", "rows") + " into " + report.table;
    if (report.rowsReplaced > 0) text += " (replacing " + plural(report.rowsReplaced, "row", "rows") + ")";
    text += " in " + std::string(time) + " s; header on line " + std::to_string(report.headerLine) +
            ", fields separated by " + separatorName(report.separator) + ".\n";
    text += "Lines skipped: " + std::to_string(report.linesSkipped()) + " (" +
            std::to_string(report.linesBeforeHeader) + " before the header, " +
            std::to_string(report.blankLines) + " blank, " + std::to_string(report.notes.size()) +
            " closing notes).\n";
    for (const CsvLineText& note : report.notes) {
        text += "  note on line " + std::to_string(note.line) + ": " + note.text + "\n";
    }
    if (!report.ignoredColumns.empty()) {
        text += "Columns not in table " + report.table + ", ignored: ";
        for (std::size_t i = 0; i < report.ignoredColumns.size(); ++i) {
            text += (i == 0 ? "" : ", ") + report.ignoredColumns[i];
        }
        text += ".\n";
    }
    return text;
}

std::string csvLoadWarnings(const CsvLoadReport& report) {
    if (report.badIssnCount == 0) return {};
    std::string text = "Warning: " + plural(report.badIssnCount, "ISSN is", "ISSNs are") +
                       " not of the form 1234-567X and will match no journal:";
    for (const CsvLineText& example : report.badIssnExamples) {
        text += " line " + std::to_string(example.line) + " \"" + example.text + "\"";
        text += &example == &report.badIssnExamples.back() ? "" : ",";
    }
    if (report.badIssnCount > report.badIssnExamples.size()) {
        text += " and " + std::to_string(report.badIssnCount - report.badIssnExamples.size()) + " more";
    }
    return text + ".\n";
}

int runNewDatabaseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> target;
    bool force = false;
    bool quiet = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--new") {
            if (i + 1 >= args.size()) return usageError(err, "--new needs the path of the new database.");
            target = args[++i];
        } else if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--quiet") {
            quiet = true;
        } else {
            return usageError(err, "unexpected \"" + args[i] + "\" with --new.");
        }
    }
    if (!target || target->empty()) return usageError(err, "--new needs the path of the new database.");
    try {
        createNewDatabase(*target, force);
    } catch (const Error& error) {
        err << "lumaref-convert: " << error.what() << "\n";
        return 1;
    }
    if (!quiet) out << "Created the empty database " << *target << ".\n";
    return 0;
}

int runCsvLoadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool errIsTerminal) {
    CsvLoadRequest request;
    std::optional<std::string> csv;
    std::optional<std::string> table;
    std::optional<std::string> target;
    bool quiet = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--csv" || word == "--table") {
            if (i + 1 >= args.size()) return usageError(err, word + " needs a value.");
            (word == "--csv" ? csv : table) = args[++i];
        } else if (word == "--append") {
            request.append = true;
        } else if (word == "--quiet") {
            quiet = true;
        } else if (word.rfind("--", 0) == 0 || target) {
            return usageError(err, "unexpected \"" + word + "\" with --csv.");
        } else {
            target = word;
        }
    }
    if (!csv || csv->empty()) return usageError(err, "--csv needs the CSV file to load.");
    if (!table || table->empty()) return usageError(err, "--csv needs --table with the table to load into.");
    if (!target || target->empty()) return usageError(err, "--csv needs the database to load into.");
    request.csvPath = *csv;
    request.table = *table;
    request.databasePath = *target;

    const bool showProgress = !quiet && errIsTerminal;
    if (showProgress) {
        request.progress = [&err](std::size_t rows) { err << "\rRows read: " << rows << std::flush; };
    }
    const auto start = std::chrono::steady_clock::now();
    CsvLoadReport report;
    try {
        report = loadCsvIntoTable(request);
    } catch (const Error& error) {
        if (showProgress) err << "\r\x1b[K";
        err << "lumaref-convert: " << error.what() << "\n";
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (showProgress) err << "\r\x1b[K" << std::flush;
    if (!quiet) out << csvLoadSummary(report, seconds);
    err << csvLoadWarnings(report);
    return 0;
}

}  // namespace lumaref
