#include "convert/convert_command.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "convert/access_converter.h"
#include "convert/csv_command.h"
#include "convert/postgres_target.h"
#include "text/error.h"
#include "text/secret_mask.h"

namespace lumaref {

namespace {

// Progress on a terminal.
class RunObserver : public ConversionObserver {
public:
    RunObserver(std::ostream& out, bool showProgress) : out_(out), showProgress_(showProgress) {}

    void tableStarted(const std::string& table, std::size_t rows) override {
        if (showProgress_) show(table, 0, rows);
    }
    void rowsCopied(const std::string& table, std::size_t done, std::size_t rows) override {
        if (!showProgress_) return;
        show(table, done, rows);
        if (done == rows) out_ << '\n';
    }

private:
    void show(const std::string& table, std::size_t done, std::size_t rows) {
        out_ << "\r\033[K" << table << ": " << done << " of " << rows << " rows" << std::flush;
    }

    std::ostream& out_;
    bool showProgress_;
};

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

int convertAccess(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err, bool terminal) {
    const auto started = std::chrono::steady_clock::now();
    const bool showProgress = terminal && !invocation.quiet;
    RunObserver observer(out, showProgress);
    try {
        const ConversionSummary summary =
            convertAccessDatabase(invocation.source, invocation.target, invocation.force, &observer);
        if (!invocation.quiet) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
            out << "Converted " << summary.tables << (summary.tables == 1 ? " table, " : " tables, ")
                << summary.rows << (summary.rows == 1 ? " row" : " rows") << " in "
                << secondsText(elapsed.count()) << " s into '" << invocation.target << "'.\n";
        }
        return 0;
    } catch (const Error& error) {
        if (showProgress) out << '\n' << std::flush;
        err << "lumaref-convert: " << error.what() << '\n';
        return 1;
    } catch (const std::exception& error) {
        if (showProgress) out << '\n' << std::flush;
        err << "lumaref-convert: " << maskSecrets(error.what()) << '\n';
        return 1;
    }
}

}  // namespace

int runConvertInvocation(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                         bool terminal) {
    if (hasPostgresTarget(invocation)) {
        return runPostgresTarget(invocation, out, err);
    }
    switch (invocation.mode) {
        case ConvertInvocation::Mode::Help:
            out << convertUsage("lumaref-convert");
            return 0;
        case ConvertInvocation::Mode::ConvertAccess:
            return convertAccess(invocation, out, err, terminal);
        case ConvertInvocation::Mode::NewDatabase:
            return runNewDatabase(invocation, out, err);
        case ConvertInvocation::Mode::LoadCsv:
            return runCsvLoad(invocation, out, err, terminal);
        case ConvertInvocation::Mode::LoadMasterList:
            return runMasterListLoad(invocation, out, err);
        case ConvertInvocation::Mode::LoadJcr:
        case ConvertInvocation::Mode::LoadSjr:
        case ConvertInvocation::Mode::LoadDoaj:
        case ConvertInvocation::Mode::LoadList:
            return runRankingLoad(invocation, out, err);
        case ConvertInvocation::Mode::LoadLists:
            break;  // parseConvertArguments lets it through with a server only
    }
    return 1;
}

}  // namespace lumaref
