// The view exports of every journal and every column, beside their peers: libxlsxwriter writing the
// same cells alone, and one write() of the same CSV bytes. Each reports the memory it added at most.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_state.h"
#include "exchange/spreadsheet_number.h"
#include "exchange/view_csv.h"
#include "exchange/view_xlsx.h"
#include "operations.h"
#include "per_iteration.h"
#include "text/text_file.h"

namespace lumaref::bench {

namespace {

std::vector<ViewColumn> everyColumn(const RecordSet& journals) {
    std::vector<ViewColumn> columns;
    columns.reserve(static_cast<std::size_t>(journals.fieldCount()));
    for (int field = 0; field < journals.fieldCount(); ++field)
        columns.push_back({field, journals.field(field).name});
    return columns;
}

RecordSet& everyJournal(std::uint64_t journals) {
    RecordSet& set = stateFor(journals).journalSet();
    set.setFilter("");
    return set;
}

std::string exportPath(std::uint64_t journals, const char* name) { return dataDirFor(journals) + "/" + name; }

ViewDescription benchDescription() {
    ViewDescription description;
    description.database = "Database.mdb";
    description.exportedAt = "2024-05-06 14:03";
    return description;
}

std::size_t statusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stoul(line.substr(std::string_view(key).size()));
    }
    return 0;
}

// The most memory the process holds beyond what it held at start(). Memory freed before is given
// back to the system first, so the export cannot hide its own in pages the allocator kept; then the
// kernel's peak is reset to the present (Linux 4.0 and later).
class ExtraMemory {
public:
    void start() {
        ::malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        before_ = statusKilobytes("VmRSS:");
    }
    void stop() {
        const std::size_t peak = statusKilobytes("VmHWM:");
        most_ = std::max(most_, peak > before_ ? peak - before_ : 0);
    }
    double megabytes() const { return static_cast<double>(most_) * 1024 / 1e6; }

private:
    std::size_t before_ = 0;
    std::size_t most_ = 0;
};

// The cells of the journals as libxlsxwriter takes them, prepared beforehand: per cell its kind, the
// numbers in order with their number formats, and the texts one after another, each ended by NUL.
struct PreparedCells {
    enum Kind : char { Empty, Number, Text };
    std::vector<std::string> captions;
    int rows = 0;
    std::vector<char> kinds;  // row by row
    std::vector<double> numbers;
    std::vector<std::uint8_t> numberFormats;  // into formats
    std::vector<std::string> formats{""};
    std::string texts;
};

const PreparedCells& preparedCells(std::uint64_t journals) {
    static std::unique_ptr<PreparedCells> cells;
    static std::uint64_t preparedFor = 0;
    if (cells && preparedFor == journals) return *cells;
    cells.reset();
    auto prepared = std::make_unique<PreparedCells>();
    const RecordSet& set = everyJournal(journals);
    for (const ViewColumn& column : everyColumn(set)) prepared->captions.push_back(column.caption);
    prepared->rows = set.recordCount();
    const int fields = set.fieldCount();
    prepared->kinds.reserve(static_cast<std::size_t>(prepared->rows) * static_cast<std::size_t>(fields));
    for (int position = 0; position < prepared->rows; ++position) {
        for (int field = 0; field < fields; ++field) {
            const std::string_view value = set.valueAt(position, field);
            if (value.empty()) {
                prepared->kinds.push_back(PreparedCells::Empty);
            } else if (const std::optional<SpreadsheetNumber> number = spreadsheetNumber(value)) {
                prepared->kinds.push_back(PreparedCells::Number);
                prepared->numbers.push_back(number->value);
                auto format = std::find(prepared->formats.begin(), prepared->formats.end(), number->format);
                if (format == prepared->formats.end())
                    format = prepared->formats.insert(prepared->formats.end(), number->format);
                prepared->numberFormats.push_back(
                    static_cast<std::uint8_t>(format - prepared->formats.begin()));
            } else {
                prepared->kinds.push_back(PreparedCells::Text);
                prepared->texts.append(value);
                prepared->texts.push_back('\0');
            }
        }
    }
    cells = std::move(prepared);
    preparedFor = journals;
    return *cells;
}

// The same workbook through libxlsxwriter alone: the same options, header, cells, frozen row,
// autofilter and second sheet, straight to the file.
bool writeWorkbook(const PreparedCells& cells, const std::string& path) {
    std::string folder = path.substr(0, path.rfind('/'));
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Journals");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    std::vector<lxw_format*> formats = {nullptr};
    for (std::size_t i = 1; i < cells.formats.size(); ++i) {
        formats.push_back(workbook_add_format(book));
        format_set_num_format(formats.back(), cells.formats[i].c_str());
    }
    const auto columns = static_cast<lxw_col_t>(cells.captions.size());
    for (lxw_col_t column = 0; column < columns; ++column)
        worksheet_write_string(sheet, 0, column, cells.captions[column].c_str(), bold);
    std::size_t kind = 0;
    std::size_t number = 0;
    const char* text = cells.texts.c_str();
    for (lxw_row_t row = 1; row <= static_cast<lxw_row_t>(cells.rows); ++row) {
        for (lxw_col_t column = 0; column < columns; ++column) {
            switch (cells.kinds[kind++]) {
                case PreparedCells::Number:
                    worksheet_write_number(sheet, row, column, cells.numbers[number],
                                           formats[cells.numberFormats[number]]);
                    ++number;
                    break;
                case PreparedCells::Text:
                    worksheet_write_string(sheet, row, column, text, nullptr);
                    text += std::char_traits<char>::length(text) + 1;
                    break;
                default:
                    break;
            }
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(cells.rows), columns - 1);
    lxw_worksheet* about = workbook_add_worksheet(book, "About");
    const char* lines[][2] = {{"Database", "Database.mdb"},
                              {"Selection", "none: every journal"},
                              {"Search", "none"},
                              {"Rows", nullptr},
                              {"Exported", "2024-05-06 14:03"}};
    for (lxw_row_t row = 0; row < 5; ++row) {
        worksheet_write_string(about, row, 0, lines[row][0], bold);
        if (lines[row][1] != nullptr) {
            worksheet_write_string(about, row, 1, lines[row][1], nullptr);
        } else {
            worksheet_write_number(about, row, 1, cells.rows, nullptr);
        }
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

}  // namespace

void exportXlsxLumaref(benchmark::State& state, std::uint64_t journals) {
    const RecordSet& set = everyJournal(journals);
    const std::vector<ViewColumn> columns = everyColumn(set);
    const ViewDescription description = benchDescription();
    const std::string path = exportPath(journals, "view-bench.xlsx");
    PerIteration times;
    ExtraMemory memory;
    for (auto _ : state) {
        memory.start();
        times.start();
        exportViewXlsx(set, columns, description, path);
        times.stop();
        memory.stop();
    }
    state.counters["bytes"] = static_cast<double>(fileSize(path));
    state.counters["extra_mb"] = memory.megabytes();
    times.report(state);
}

void exportXlsxXlsxwriter(benchmark::State& state, std::uint64_t journals) {
    const PreparedCells& cells = preparedCells(journals);
    const std::string path = exportPath(journals, "view-bench-peer.xlsx");
    PerIteration times;
    ExtraMemory memory;
    for (auto _ : state) {
        memory.start();
        times.start();
        if (!writeWorkbook(cells, path)) {
            state.SkipWithError("libxlsxwriter failed");
            break;
        }
        times.stop();
        memory.stop();
    }
    state.counters["bytes"] = static_cast<double>(fileSize(path));
    state.counters["extra_mb"] = memory.megabytes();
    times.report(state);
}

void exportCsvLumaref(benchmark::State& state, std::uint64_t journals) {
    const RecordSet& set = everyJournal(journals);
    const std::vector<ViewColumn> columns = everyColumn(set);
    const std::string path = exportPath(journals, "view-bench.csv");
    PerIteration times;
    ExtraMemory memory;
    for (auto _ : state) {
        memory.start();
        times.start();
        exportViewCsv(set, columns, path);
        times.stop();
        memory.stop();
    }
    state.counters["bytes"] = static_cast<double>(fileSize(path));
    state.counters["extra_mb"] = memory.megabytes();
    times.report(state);
}

namespace {

// The same bytes, made beforehand, in one write() to a new file; with `sync`, put on the disk before
// the file is closed, as every file the program writes is.
void writeCsvBytes(benchmark::State& state, std::uint64_t journals, bool sync) {
    const RecordSet& set = everyJournal(journals);
    const std::string path = exportPath(journals, "view-bench-peer.csv");
    exportViewCsv(set, everyColumn(set), path);
    const std::string bytes = readWholeFile(path);
    PerIteration times;
    for (auto _ : state) {
        times.start();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            (sync && ::fsync(fd) != 0) || ::close(fd) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        times.stop();
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    times.report(state);
}

}  // namespace

// The physical limit of a file that survives a crash: one write() and one fsync().
void exportCsvWrite(benchmark::State& state, std::uint64_t journals) { writeCsvBytes(state, journals, true); }

// The write() alone: the bytes reach the page cache, not the disk.
void exportCsvWriteCached(benchmark::State& state, std::uint64_t journals) {
    writeCsvBytes(state, journals, false);
}

}  // namespace lumaref::bench
