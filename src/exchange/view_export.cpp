#include "exchange/view_export.h"

#include "text/file_error.h"

namespace lumaref {

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
