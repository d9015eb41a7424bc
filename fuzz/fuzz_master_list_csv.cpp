#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/master_list_csv.h"
#include "text/error.h"
#include "text/text_file.h"

// Any bytes: the reader either refuses them with an Error or gives records that are each whole (a
// title, a subject, a line within the file), at least one per row, and never counts more rows
// without numbers than rows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        // As the window reads an import: decoded first, then told CSV or not.
        const std::string text = lumaref::decodeText(bytes);
        const bool recognised = lumaref::isMasterListCsv(text);
        const lumaref::MasterListCsv list = lumaref::readMasterListCsvText(text, "Box");
        if (list.records.size() < list.rows || list.rowsWithoutIssn > list.rows) std::abort();
        if (!recognised) std::abort();  // read whole, so its header was one
        std::size_t lastLine = 0;
        for (const lumaref::MasterListRecord& record : list.records) {
            if (record.title.empty() || record.subject.empty() || record.line < lastLine || record.line < 2) {
                std::abort();
            }
            lastLine = record.line;
        }
    } catch (const lumaref::Error&) {
        // Refused with a message: fine.
    }
    return 0;
}
