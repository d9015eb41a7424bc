// The lumaref-convert command: what it prints, and how it refuses bad input without leaving files behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "convert/access_converter.h"
#include "convert/convert_command.h"
#include "convert/mdb_reference.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "text/stop_request.h"

namespace fs = std::filesystem;

namespace lumaref {
namespace {

const std::string kNorthwind = std::string(LUMAREF_TESTDATA_DIR) + "/jet/nwind.mdb";

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ToolRun runTool(const test::TempDir& dir, const std::vector<std::string>& arguments) {
    std::string command = shellQuoted(LUMAREF_CONVERT_EXE);
    for (const auto& argument : arguments) command += " " + shellQuoted(argument);
    const std::string out = dir.file("tool.out");
    const std::string err = dir.file("tool.err");
    const int status = std::system((command + " >" + shellQuoted(out) + " 2>" + shellQuoted(err)).c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = test::readFile(out);
    run.err = test::readFile(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) names.insert(entry.path().string());
    return names;
}

std::size_t referenceRows(const std::vector<test::ReferenceTable>& tables) {
    std::size_t rows = 0;
    for (const auto& table : tables) rows += table.rows.size();
    return rows;
}

class ConvertTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(kNorthwind)) << "no test data at " << kNorthwind; }
    test::TempDir dir;
};

TEST_F(ConvertTool, PrintsASummaryUnlessQuietAndReplacesOnlyWhenForced) {
    const auto reference = test::readWithLibmdb(kNorthwind);
    const std::string target = dir.file("out.sqlite");
    const ToolRun first = runTool(dir, {kNorthwind, target});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    const std::string summary = "Converted " + std::to_string(reference.size()) + " tables, " +
                                std::to_string(referenceRows(reference)) + " rows in ";
    EXPECT_EQ(first.out.rfind(summary, 0), 0u) << first.out;
    EXPECT_EQ(first.out.find('\r'), std::string::npos) << "no progress when the output is not a terminal";

    const auto written = fs::last_write_time(target);
    const ToolRun refused = runTool(dir, {kNorthwind, target, "--quiet"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("already exists; use --force"), std::string::npos) << refused.err;
    EXPECT_EQ(fs::last_write_time(target), written);

    const ToolRun forced = runTool(dir, {"--quiet", kNorthwind, target, "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out + forced.err, "") << "--quiet prints nothing";
    std::size_t products = 0;
    for (const auto& table : reference) products += table.name == "Products" ? table.rows.size() : 0;
    EXPECT_EQ(test::queryText(target, "SELECT count(*) FROM Products"), std::to_string(products));
}

TEST_F(ConvertTool, ShowsRowsDoneOfRowsPerTableOnATerminal) {
    const auto reference = test::readWithLibmdb(kNorthwind);
    ConvertInvocation invocation;
    invocation.mode = ConvertInvocation::Mode::ConvertAccess;
    invocation.source = kNorthwind;
    invocation.target = dir.file("out.sqlite");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runConvertInvocation(invocation, out, err, true), 0) << err.str();
    for (const auto& table : reference) {
        const std::string rows = std::to_string(table.rows.size());
        std::string line = table.name;
        line.append(": ").append(rows).append(" of ").append(rows).append(" rows\n");
        EXPECT_NE(out.str().find(line), std::string::npos) << table.name << "\n" << out.str();
    }

    invocation.quiet = true;
    invocation.force = true;
    std::ostringstream quiet;
    ASSERT_EQ(runConvertInvocation(invocation, quiet, err, true), 0) << err.str();
    EXPECT_EQ(quiet.str(), "");
}

// Ctrl-C in the middle: the tool stops at the next check and removes what it wrote.
TEST_F(ConvertTool, StopRequestedMidwayLeavesNothing) {
    class StopAtSecondTable : public ConversionObserver {
    public:
        void tableStarted(const std::string&, std::size_t) override {
            if (++tables == 2) requestStop();
        }
        int tables = 0;
    } observer;
    const std::string target = dir.file("out.sqlite");
    EXPECT_EQ(test::errorOf([&] { convertAccessDatabase(kNorthwind, target, false, &observer); }),
              "Stopped before every table was converted; no target was written.");
    clearStopRequest();
    EXPECT_EQ(observer.tables, 2);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// Each case: what the source is, where the target goes, and the words the message must hold.
struct BadInput {
    const char* name;
    std::function<std::string(const test::TempDir&)> makeSource;
    std::function<std::string(const test::TempDir&)> target;
    const char* expected;
};
void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

std::string copyOfNorthwind(const test::TempDir& dir, std::size_t bytes) {
    const std::string data = test::readFile(kNorthwind);
    std::string path = dir.file("in/source.mdb");
    test::writeFile(path, data.substr(0, bytes));
    return path;
}

std::string targetInOut(const test::TempDir& dir) {
    fs::create_directories(dir.file("out"));
    return dir.file("out/target.sqlite");
}

class ConvertToolRefuses : public ::testing::TestWithParam<BadInput> {};

TEST_P(ConvertToolRefuses, WithAClearMessageAndNoFileLeftBehind) {
    ASSERT_TRUE(fs::exists(kNorthwind)) << "no test data at " << kNorthwind;
    test::TempDir dir;
    const std::string source = GetParam().makeSource(dir);
    const std::string target = GetParam().target(dir);
    const auto before = filesIn(dir.path());
    const std::string sourceBytes = fs::is_regular_file(source) ? test::readFile(source) : "";
    const ToolRun run = runTool(dir, {source, target});
    EXPECT_EQ(run.exitCode, 1) << "a crash or a success: " << run.err;
    EXPECT_EQ(run.out, "");
    // The tool's message is its last line.
    const std::size_t lastLine = run.err.rfind('\n', run.err.size() >= 2 ? run.err.size() - 2 : 0);
    const std::string message = run.err.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
    EXPECT_EQ(message.rfind("lumaref-convert: ", 0), 0u) << run.err;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << run.err;
#if !defined(__SANITIZE_ADDRESS__)  // sanitizer builds let libmdb's own warnings through
    EXPECT_EQ(message, run.err) << "one line, no library noise";
#endif
    EXPECT_TRUE(target == source || !fs::exists(target));
    EXPECT_TRUE((fs::is_regular_file(source) ? test::readFile(source) : "") == sourceBytes)
        << "source untouched";
    EXPECT_EQ(filesIn(dir.path()), before) << "no target and no temporary file";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertToolRefuses,
    ::testing::Values(
        BadInput{"ZeroByteFile", [](const auto& d) { return copyOfNorthwind(d, 0); }, targetInOut,
                 "is empty"},
        BadInput{"CutInsideAPage", [](const auto& d) { return copyOfNorthwind(d, 3000000); }, targetInOut,
                 "damaged or incomplete"},
        // libmdb stops quietly where the pages end; the pages the catalogue points to show the loss.
        BadInput{"CutAtAPageBoundary", [](const auto& d) { return copyOfNorthwind(d, 1024 * 1024); },
                 targetInOut, "a page lies past the end of the file; it is damaged or incomplete"},
        BadInput{"CutBeforeTheTables", [](const auto& d) { return copyOfNorthwind(d, 8192); }, targetInOut,
                 "Access file"},
        BadInput{"SqliteFile",
                 [](const auto& d) {
                     fs::create_directories(d.file("in"));
                     test::createDatabase(d.file("in/lumaref.sqlite"));
                     return d.file("in/lumaref.sqlite");
                 },
                 targetInOut, "already an SQLite database"},
        BadInput{"MissingSource", [](const auto& d) { return d.file("in/nothing.mdb"); }, targetInOut,
                 "Cannot find the Access file"},
        // Tests run as root, which writes through permission bits: a folder that is a regular file
        // cannot take a new file whoever asks.
        BadInput{"TargetFolderIsAFile", [](const auto& d) { return copyOfNorthwind(d, 1u << 30); },
                 [](const auto& d) {
                     test::writeFile(d.file("out"), "not a folder");
                     return d.file("out/target.sqlite");
                 },
                 "Cannot create a file in"},
        BadInput{"TargetFolderMissing", [](const auto& d) { return copyOfNorthwind(d, 1u << 30); },
                 [](const auto& d) { return d.file("no/such/folder/target.sqlite"); },
                 "Cannot create a file in"},
        BadInput{"TargetIsTheSource", [](const auto& d) { return copyOfNorthwind(d, 1u << 30); },
                 [](const auto& d) { return d.file("in/source.mdb"); }, "is the Access file itself"}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
