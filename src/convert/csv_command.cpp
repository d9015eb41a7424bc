#include "convert/csv_command.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <ostream>

#include "convert/csv_input.h"
#include "convert/csv_master_list_load.h"
#include "convert/ranking_load.h"
#include "db/new_database.h"
#include "exchange/master_list_csv.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/stopped.h"

namespace lumaref {

namespace {

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

// A load is one transaction: a stop, like any failure, leaves the database as it was.
std::string failureText(const Error& error) {
    if (dynamic_cast<const Stopped*>(&error) != nullptr) return error.what() + std::string(kNothingLoaded);
    return error.what();
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
            std::to_string(report.blankLines) + " blank, " +
            plural(report.notes.size(), "closing note", "closing notes") + ").\n";
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
    std::string quotes;
    if (!report.literalQuoteLines.empty())
        quotes = "Warning: " + literalQuoteWarning(report.literalQuoteLines) + ".\n";
    if (report.badIssnCount == 0) return quotes;
    std::string text = quotes + "Warning: " + plural(report.badIssnCount, "ISSN is", "ISSNs are") +
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

int runNewDatabase(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err) {
    try {
        createNewDatabase(invocation.target, invocation.force);
    } catch (const Error& error) {
        err << "lumaref-convert: " << error.what() << "\n";
        return 1;
    }
    if (!invocation.quiet) out << "Created the empty database '" << invocation.target << "'.\n";
    return 0;
}

namespace {

// Runs one load, timing it; a failure is one line on err and exit code 1.
template <typename Load, typename Summary>
int runTimed(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err, Load load,
             Summary summary) {
    const auto start = std::chrono::steady_clock::now();
    try {
        const auto report = load();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!invocation.quiet) out << summary(report, seconds);
    } catch (const Error& error) {
        err << "lumaref-convert: " << failureText(error) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int runMasterListLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                      PgConnection* server) {
    MasterListLoadRequest request{
        invocation.masterListFile, invocation.target, invocation.category, {}, invocation.replaceIndex};
    if (!invocation.index.empty()) {
        const std::optional<std::string_view> field = citationIndexFromAbbreviation(invocation.index);
        if (!field) {
            err << "lumaref-convert: unknown index '" << invocation.index
                << "': give SCI, SCIE, ESCI, AHCI or none\n";
            return 2;
        }
        request.indexField = std::string(*field);
    }
    return runTimed(
        invocation, out, err,
        [&request, server] {
            return server != nullptr ? loadMasterListIntoDatabase(request, *server)
                                     : loadMasterListIntoDatabase(request);
        },
        masterListLoadSummary);
}

int runRankingLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                   PgConnection* server) {
    using Mode = ConvertInvocation::Mode;
    RankingFileRequest request;
    request.layout = invocation.mode == Mode::LoadJcr    ? RankingLayout::Jcr
                     : invocation.mode == Mode::LoadSjr  ? RankingLayout::Sjr
                     : invocation.mode == Mode::LoadDoaj ? RankingLayout::Doaj
                                                         : RankingLayout::OwnList;
    request.year = invocation.year;
    request.listName = invocation.listName;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    request.currentYear = local.tm_year + 1900;
    return runTimed(
        invocation, out, err,
        [&] {
            return server != nullptr ? loadRankingFile(invocation.rankingFile, *server, request)
                                     : loadRankingFile(invocation.rankingFile, invocation.target, request);
        },
        rankingLoadSummary);
}

int runCsvLoad(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err, bool terminal) {
    CsvLoadRequest request{invocation.csvFile, invocation.target, invocation.table, invocation.append, {}};
    const bool showProgress = !invocation.quiet && terminal;
    if (showProgress) {
        request.progress = [&out](std::size_t rows) { out << "\r\033[KRows read: " << rows << std::flush; };
    }
    const auto start = std::chrono::steady_clock::now();
    CsvLoadReport report;
    try {
        report = loadCsvIntoTable(request);
    } catch (const Error& error) {
        if (showProgress) out << "\r\033[K" << std::flush;
        err << "lumaref-convert: " << failureText(error) << "\n";
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (showProgress) out << "\r\033[K" << std::flush;
    if (!invocation.quiet) out << csvLoadSummary(report, seconds);
    err << csvLoadWarnings(report);
    return 0;
}

}  // namespace lumaref
