#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filter/column.h"
#include "text/error.h"
#include "text/staged_file.h"

namespace lumaref {

class RecordSet;

// One column of an exported view: the record set's field under the caption the grid shows for it, or
// values made beside the record set's snapshot (one per row of it) shown in a column of their own.
struct ViewColumn {
    int field = 0;
    std::string caption;
    std::shared_ptr<const Column> values;
};

// The values of a view's columns, their sources found once per export rather than once per cell:
// cell(i, rows.snapshotRow(position)) is column i's value at a visible position.
class ViewCells {
public:
    ViewCells(const RecordSet& rows, const std::vector<ViewColumn>& columns);
    std::string_view cell(std::size_t column, std::size_t row) const {
        const Source& source = sources_[column];
        if (row >= source.rows) return {};
        if (source.bytes.bytes != nullptr) return source.bytes.cell(row);
        return source.column->text(row);
    }

private:
    // An unedited column's bytes are read without going through the column at all.
    struct Source {
        const Column* column = nullptr;
        std::size_t rows = 0;
        Column::CellBytes bytes;
    };
    std::vector<Source> sources_;
};

// A stop requested while an export runs (see stop_request.h): the file is left as it was.
inline constexpr const char* kViewExportStopped = "The export was stopped; the file was left as it was";

// Refuses a view without columns: Error("No column is shown: there is nothing to export").
void requireViewColumns(const std::vector<ViewColumn>& columns);

// The failure of a staged export in words that name the file: a write or flush that did not reach the
// disk becomes "Cannot write file \"<full path>\". <reason>"; creating and renaming name it already.
[[noreturn]] void throwViewExportError(const StagedFileError& failure, const std::string& path);
// "Cannot write file \"<full path>\". <reason>" for an errno value.
Error viewWriteError(const std::string& path, int errnoValue);

}  // namespace lumaref
