#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "exchange/view_export.h"

namespace lumaref {

// What the second sheet of an exported workbook says about the view, beside its row count.
struct ViewDescription {
    std::string database;    // where the journals come from
    std::string selection;   // the selection in force, in words; empty for none
    std::string search;      // the search in force, in words; empty for none
    std::string exportedAt;  // the date and time of the export, as the user reads them
    // One "Source" line each, last: where figures come from when their licence asks to be named.
    std::vector<std::string> sources;
};

// The most rows an Excel sheet holds under its header row.
inline constexpr int kXlsxMaxRows = 1'048'575;
// The most characters an Excel cell holds; a longer value is cut to it.
inline constexpr std::size_t kXlsxMaxCellCharacters = 32'767;

struct XlsxExportResult {
    std::size_t cutValues = 0;  // values cut to kXlsxMaxCellCharacters
};

// Writes the rows the record set shows, in their order, as an XLSX workbook through libxlsxwriter in
// constant-memory mode: sheet "Journals" holds a header row of the captions (frozen, with an
// autofilter over every row) and one row per journal, a decimal number as a number shown as the table
// shows it (see spreadsheetNumber), any other value as text, an empty value as no cell; sheet "About" states
// the description and the row count. Replaces the file at path atomically: libxlsxwriter fills the staged
// temporary file, which is renamed onto path only after the workbook closed without an error. Errors as
// throwViewExportError; a view of more rows than a sheet holds is refused before anything is written. The
// cursor does not move.
XlsxExportResult exportViewXlsx(const RecordSet& rows, const std::vector<ViewColumn>& columns,
                                const ViewDescription& description, const std::string& path);

}  // namespace lumaref
