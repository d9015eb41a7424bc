#pragma once

#include <string>
#include <vector>

#include "text/error.h"
#include "text/staged_file.h"

namespace lumaref {

class RecordSet;

// One column of an exported view: the record set's field under the caption the grid shows for it.
struct ViewColumn {
    int field = 0;
    std::string caption;
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
