#include "convert/convert_command.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "convert/access_converter.h"
#include "convert/csv_command.h"
#include "data/error.h"

namespace lumaref {

namespace {

class TerminalProgress : public ConversionObserver {
public:
    explicit TerminalProgress(std::ostream& out) : out_(out) {}

    void tableStarted(const std::string& table, std::size_t rows) override { show(table, 0, rows); }
    void rowsCopied(const std::string& table, std::size_t done, std::size_t rows) override {
        show(table, done, rows);
        if (done == rows) out_ << '\n';
    }

private:
    void show(const std::string& table, std::size_t done, std::size_t rows) {
        out_ << "\r\033[K" << table << ": " << done << " of " << rows << " rows" << std::flush;
    }

    std::ostream& out_;
};

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

int convertAccess(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err, bool terminal) {
    const auto started = std::chrono::steady_clock::now();
    TerminalProgress progress(out);
    const bool showProgress = terminal && !invocation.quiet;
    try {
        const ConversionSummary summary = convertAccessDatabase(
            invocation.source, invocation.target, invocation.force, showProgress ? &progress : nullptr);
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
        err << "lumaref-convert: " << error.what() << '\n';
        return 1;
    }
}

}  // namespace

int runConvertInvocation(const ConvertInvocation& invocation, std::ostream& out, std::ostream& err,
                         bool terminal) {
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
    }
    return 1;
}

}  // namespace lumaref
