#include "exchange/view_export.h"

#include "db/record_set.h"
#include "text/file_error.h"

namespace lumaref {

ViewCells::ViewCells(const RecordSet& rows, const std::vector<ViewColumn>& columns) {
    const Table& table = rows.snapshot();
    sources_.reserve(columns.size());
    for (const ViewColumn& column : columns) {
        const bool stored =
            column.field >= 0 && static_cast<std::size_t>(column.field) < table.columns.size();
        const Column* source = column.values != nullptr ? column.values.get()
                               : stored ? &table.columns[static_cast<std::size_t>(column.field)]
                                        : nullptr;
        sources_.push_back(source != nullptr ? Source{source, source->size(), source->cellBytes()}
                                             : Source{});
    }
}

void requireViewColumns(const std::vector<ViewColumn>& columns) {
    if (columns.empty()) throw Error("No column is shown: there is nothing to export");
}

Error viewWriteError(const std::string& path, int errnoValue) {
    return fileError("Cannot write file", path, errnoValue);
}

void throwViewExportError(const StagedFileError& failure, const std::string& path) {
    if (failure.step() == StagedFileError::Step::Write) throw viewWriteError(path, failure.errnoValue());
    throw failure;
}

}  // namespace lumaref
