// An export that cannot be written, or is stopped: one message, naming the file where it was not written,
// the previous file whole, nothing else left.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "exchange/view_csv.h"
#include "exchange/view_xlsx.h"
#include "support/error_text.h"
#include "support/failing_sink.h"
#include "support/file_size_limit.h"
#include "support/journals_fixture.h"
#include "support/unprivileged_user.h"
#include "text/stop_request.h"

namespace lumaref {
namespace {

// 2,000 journals: the rows libxlsxwriter keeps in its temporary file are far more bytes than the zip.
constexpr std::string_view kJournalsSql = R"sql(
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
INSERT INTO journals ("Title", "ISSN", "IF", "Address")
  SELECT 'Journal of Things ' || i, '1234-5678', i || '.5', 'Some Street ' || i || ', Some Town' FROM n;
)sql";

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class ViewExportFailureTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        test::createDatabase(dbPath, kJournalsSql);
        openJournals();
        for (const char* name : {"Title", "ISSN", "IF", "Address"})
            columns.push_back({journals->fieldIndex(name), name});
    }
    std::function<void()> exportTo(const std::string& format, const std::string& path, const FileSink& sink) {
        return [this, format, path, sink] {
            if (format == "csv") {
                exportViewCsv(*journals, columns, path, sink);
            } else {
                exportViewXlsx(*journals, columns, ViewDescription(), path);
            }
        };
    }

    std::vector<ViewColumn> columns;
};

TEST_F(ViewExportFailureTest, AFolderThatCannotBeWrittenOrAFullDiskKeepsThePreviousFile) {
    struct Row {
        const char* name;
        const char* format;
        enum { ReadOnlyFolder, FullDisk, FileSizeLimit, StopRequest } failure;
        std::size_t bytes;  // what the disk or the file-size limit takes
        const char* message;
    };
    const Row rows[] = {
        {"csv in a read-only folder", "csv", Row::ReadOnlyFolder, 0,
         "Cannot create file \"%\". Permission denied"},
        {"xlsx in a read-only folder", "xlsx", Row::ReadOnlyFolder, 0,
         "Cannot create file \"%\". Permission denied"},
        {"csv onto a full disk", "csv", Row::FullDisk, 10,
         "Cannot write file \"%\". No space left on device"},
        {"csv past a file-size limit", "csv", Row::FileSizeLimit, 4096,
         "Cannot write file \"%\". File too large"},
        // The zip would be smaller than the limit; the rows libxlsxwriter stages are not.
        {"xlsx rows past a file-size limit", "xlsx", Row::FileSizeLimit, 65536,
         "Cannot write file \"%\". File too large"},
        {"xlsx zip past a file-size limit", "xlsx", Row::FileSizeLimit, 2048,
         "Cannot write file \"%\". File too large"},
        {"csv while a stop is requested", "csv", Row::StopRequest, 0, kViewExportStopped},
        {"xlsx while a stop is requested", "xlsx", Row::StopRequest, 0, kViewExportStopped},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = dir.file(row.name);
        std::filesystem::create_directory(folder);
        const std::string path = folder + "/view." + row.format;
        test::writeFile(path, "previous");
        const FileSink sink = row.failure == Row::FullDisk ? test::fullDiskSink(row.bytes) : systemFileSink();
        std::string error;
        if (row.failure == Row::ReadOnlyFolder) {
            ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);  // another user may enter, not write
            ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
            error = test::errorOfUserWhoCannotWriteIn(folder, exportTo(row.format, path, sink));
            ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
        } else {
            std::unique_ptr<test::FileSizeLimit> limit;
            if (row.failure == Row::FileSizeLimit) limit = std::make_unique<test::FileSizeLimit>(row.bytes);
            if (row.failure == Row::StopRequest) requestStop();
            error = test::errorOf(exportTo(row.format, path, sink));
            clearStopRequest();
        }
        std::string expected = row.message;
        if (expected.find('%') != std::string::npos) expected.replace(expected.find('%'), 1, path);
        EXPECT_EQ(error, expected);
        EXPECT_TRUE(test::readFile(path) == "previous") << "the previous file was replaced";
        EXPECT_EQ(namesIn(folder), std::set<std::string>{"view." + std::string(row.format)});
    }
}

}  // namespace
}  // namespace lumaref
