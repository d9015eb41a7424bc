#include "exchange/view_xlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string_view>

#include "db/record_set.h"
#include "exchange/spreadsheet_number.h"
#include "text/file_error.h"
#include "text/stop_request.h"

namespace lumaref {

namespace {

// How often the rows ask whether a stop was requested.
constexpr int kRowsBetweenStopChecks = 4096;
// Column widths in characters, from the caption and the first rows.
constexpr int kRowsMeasured = 100;
constexpr double kNarrowestColumn = 8;
constexpr double kWidestColumn = 60;

// A workbook that is closed (written) once, or freed unwritten when the export stops early.
class Workbook {
public:
    Workbook(const std::string& file, const std::string& temporaryFolder) : folder_(temporaryFolder) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        // Its temporary files go where the export goes: a full disk there fails the export, and a
        // temporary folder in memory does not hold the whole sheet.
        options.tmpdir = folder_.data();
        book_ = workbook_new_opt(file.c_str(), &options);
    }
    ~Workbook() {
        if (book_ != nullptr) lxw_workbook_free(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return book_; }
    lxw_error close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        return workbook_close(book);
    }

private:
    std::string folder_;
    lxw_workbook* book_ = nullptr;
};

// The reason libxlsxwriter failed: the system's when errno names a file-system failure, else its own.
std::string failureReason(lxw_error error, int errnoValue) {
    switch (errnoValue) {
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
        case EIO:
        case EACCES:
        case EROFS:
        case EMFILE:
        case ENFILE:
            return systemReason(errnoValue);
        default:
            return lxw_strerror(error);
    }
}

class SheetWriter {
public:
    SheetWriter(const std::string& path, lxw_worksheet* sheet) : path_(path), sheet_(sheet) {}

    void text(lxw_row_t row, lxw_col_t column, std::string_view value, lxw_format* format = nullptr) {
        cell_.assign(value);
        check(worksheet_write_string(sheet_, row, column, cell_.c_str(), format));
    }
    void number(lxw_row_t row, lxw_col_t column, double value, lxw_format* format = nullptr) {
        check(worksheet_write_number(sheet_, row, column, value, format));
    }
    void check(lxw_error error) const {
        if (error != LXW_NO_ERROR) throw fileError("Cannot write file", path_, lxw_strerror(error));
    }
    // In constant-memory mode the rows go to a temporary file whose writes libxlsxwriter does not check:
    // a full disk there would leave a sheet cut short in a workbook that closes without an error.
    void requireRowsWritten() const {
        FILE* rows = sheet_->optimize_tmpfile;
        if (rows == nullptr) return;
        errno = 0;
        if (std::fflush(rows) != 0 || std::ferror(rows) != 0)
            throw viewWriteError(path_, errno != 0 ? errno : EIO);
    }

private:
    const std::string& path_;
    lxw_worksheet* sheet_;
    std::string cell_;  // NUL-terminated for libxlsxwriter
};

// The value as a cell takes it: cut after kXlsxMaxCellCharacters UTF-16 units, never inside a character.
std::string_view cellText(std::string_view value, std::size_t& cutValues) {
    if (value.size() <= kXlsxMaxCellCharacters) return value;  // fewer bytes than the limit
    std::size_t units = 0;
    for (std::size_t at = 0; at < value.size(); ++at) {
        const auto byte = static_cast<unsigned char>(value[at]);
        if ((byte & 0xC0) == 0x80) continue;
        const std::size_t width = byte >= 0xF0 ? 2 : 1;  // beyond U+FFFF: a surrogate pair
        if (units + width > kXlsxMaxCellCharacters) {
            ++cutValues;
            return value.substr(0, at);
        }
        units += width;
    }
    return value;
}

// One cell format per number format, made on first use.
class NumberFormats {
public:
    explicit NumberFormats(lxw_workbook* book) : book_(book) {}
    lxw_format* get(const std::string& numberFormat) {
        if (numberFormat.empty()) return nullptr;
        lxw_format*& format = formats_[numberFormat];
        if (format == nullptr) {
            format = workbook_add_format(book_);
            format_set_num_format(format, numberFormat.c_str());
        }
        return format;
    }

private:
    lxw_workbook* book_;
    std::map<std::string, lxw_format*> formats_;
};

std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void setWidths(SheetWriter& writer, lxw_worksheet* sheet, const RecordSet& rows,
               const std::vector<ViewColumn>& columns) {
    const int measured = std::min(rows.recordCount(), kRowsMeasured);
    const ViewCells cells(rows, columns);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::size_t widest = characters(columns[i].caption);
        for (int position = 0; position < measured; ++position)
            widest = std::max(widest, characters(cells.cell(i, rows.snapshotRow(position))));
        const double width = std::clamp(static_cast<double>(widest) + 2, kNarrowestColumn, kWidestColumn);
        const auto column = static_cast<lxw_col_t>(i);
        writer.check(worksheet_set_column(sheet, column, column, width, nullptr));
    }
}

std::size_t writeJournals(lxw_workbook* book, const RecordSet& rows, const std::vector<ViewColumn>& columns,
                          const std::string& path) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Journals");
    if (sheet == nullptr) throw viewWriteError(path, errno != 0 ? errno : EIO);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    SheetWriter writer(path, sheet);
    setWidths(writer, sheet, rows, columns);
    for (std::size_t i = 0; i < columns.size(); ++i)
        writer.text(0, static_cast<lxw_col_t>(i), columns[i].caption, bold);

    NumberFormats formats(book);
    std::size_t cutValues = 0;
    const ViewCells cells(rows, columns);
    const int count = rows.recordCount();
    for (int position = 0; position < count; ++position) {
        if (position % kRowsBetweenStopChecks == 0 && stopRequested()) throw Error(kViewExportStopped);
        const auto row = static_cast<lxw_row_t>(position + 1);
        const std::size_t stored = rows.snapshotRow(position);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::string_view value = cells.cell(i, stored);
            if (value.empty()) continue;
            const auto column = static_cast<lxw_col_t>(i);
            if (const std::optional<SpreadsheetNumber> number = spreadsheetNumber(value)) {
                writer.number(row, column, number->value, formats.get(number->format));
            } else {
                writer.text(row, column, cellText(value, cutValues));
            }
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
    writer.check(worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(count),
                                      static_cast<lxw_col_t>(columns.size() - 1)));
    writer.requireRowsWritten();
    return cutValues;
}

void writeAbout(lxw_workbook* book, const RecordSet& rows, const ViewDescription& description,
                const std::string& path) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "About");
    if (sheet == nullptr) throw viewWriteError(path, errno != 0 ? errno : EIO);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    SheetWriter writer(path, sheet);
    writer.check(worksheet_set_column(sheet, 0, 0, 12, nullptr));
    writer.check(worksheet_set_column(sheet, 1, 1, kWidestColumn, nullptr));

    lxw_row_t row = 0;
    const auto line = [&](std::string_view label, std::string_view value) {
        writer.text(row, 0, label, bold);
        writer.text(row, 1, value);
        ++row;
    };
    line("Database", description.database);
    line("Selection", description.selection.empty() ? "none: every journal" : description.selection);
    line("Search", description.search.empty() ? "none" : description.search);
    writer.text(row, 0, "Rows", bold);
    writer.number(row, 1, rows.recordCount());
    ++row;
    line("Exported", description.exportedAt);
    for (const std::string& source : description.sources) line("Source", source);
    writer.requireRowsWritten();
}

std::string folderOf(const std::string& file) {
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    return parent.empty() ? "." : parent.string();
}

}  // namespace

XlsxExportResult exportViewXlsx(const RecordSet& rows, const std::vector<ViewColumn>& columns,
                                const ViewDescription& description, const std::string& path) {
    requireViewColumns(columns);
    if (rows.recordCount() > kXlsxMaxRows) {
        throw Error("An Excel sheet holds at most 1,048,575 rows under its header, and the view shows " +
                    std::to_string(rows.recordCount()) + ": narrow the view, or export it as CSV");
    }
    XlsxExportResult result;
    try {
        StagedFile file(path);
        {
            Workbook book(file.temporaryPath(), folderOf(file.temporaryPath()));
            if (book.get() == nullptr) throw viewWriteError(path, errno != 0 ? errno : ENOMEM);
            result.cutValues = writeJournals(book.get(), rows, columns, path);
            writeAbout(book.get(), rows, description, path);
            errno = 0;
            const lxw_error closed = book.close();
            if (closed != LXW_NO_ERROR)
                throw fileError("Cannot write file", path, failureReason(closed, errno));
        }
        file.commit();
    } catch (const StagedFileError& failure) {
        throwViewExportError(failure, path);
    }
    return result;
}

}  // namespace lumaref
