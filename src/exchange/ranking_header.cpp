#include "exchange/ranking_header.h"

#include "exchange/doaj_file.h"
#include "exchange/jcr_export.h"
#include "exchange/own_list_file.h"
#include "exchange/sjr_file.h"
#include "text/ascii.h"
#include "text/csv_rows.h"

namespace lumaref {

namespace {

struct Layout {
    RankingLayout layout;
    std::string_view what;  // for a message: "a JCR export"
    bool (*fits)(std::span<const std::string>);
    const std::string_view* columns;
};
// In the order they are tried: an own list is any file with an ISSN column.
const Layout kLayouts[] = {
    {RankingLayout::Jcr, "a citation reports (JCR) export", isJcrHeader, &kJcrColumnsText},
    {RankingLayout::Sjr, "an SJR journal-rank download", isSjrHeader, &kSjrColumnsText},
    {RankingLayout::Doaj, "a DOAJ journal CSV", isDoajHeader, &kDoajColumnsText},
    {RankingLayout::OwnList, "an own list", isOwnListHeader, &kOwnListColumnsText},
};
constexpr char kSeparators[] = {',', ';', '\t'};
// The banner above a header is a line or two; a header further down is not one.
constexpr std::size_t kHeaderLines = 10;

// The first rows that are not blank, as names with blanks trimmed, split at `separator`.
std::vector<RankingHeader> firstRows(std::string_view text, char separator) {
    std::vector<RankingHeader> rows;
    // Only those lines are read: the reader would otherwise look for stray quotes through the whole file.
    readCsvRows(text.substr(0, csvLineOffset(text, kHeaderLines + 1)), separator, [&](const CsvRow& row) {
        if (row.blank()) return true;
        RankingHeader header{RankingLayout::OwnList, separator, row.line, {}};
        for (std::size_t i = 0; i < row.size(); ++i) header.names.emplace_back(trimmed(row[i]));
        rows.push_back(std::move(header));
        return rows.size() < kHeaderLines;
    });
    return rows;
}

std::string quotedNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text;
}

}  // namespace

std::optional<RankingHeader> findRankingHeader(std::string_view text, std::optional<RankingLayout> layout) {
    std::optional<RankingHeader> best;
    for (const char separator : kSeparators) {
        for (RankingHeader& row : firstRows(text, separator)) {
            if (row.names.size() < 2 || (best && best->line <= row.line)) continue;
            for (const Layout& candidate : kLayouts) {
                if ((!layout || *layout == candidate.layout) && candidate.fits(row.names)) {
                    // Of two layouts on one row, the first; of two rows, the earlier.
                    if (!best || row.line < best->line) {
                        row.layout = candidate.layout;
                        best = row;
                    }
                    break;
                }
            }
        }
    }
    return best;
}

std::string unknownLayoutMessage(std::string_view text, const std::string& fileName,
                                 std::optional<RankingLayout> layout) {
    // The columns as the row of most fields among the first lines splits them.
    std::vector<std::string> found;
    for (const char separator : kSeparators) {
        for (RankingHeader& row : firstRows(text, separator)) {
            if (row.names.size() > found.size()) found = std::move(row.names);
        }
    }
    std::string message = "The file \"" + fileName + "\" is not ";
    std::string expected;
    for (const Layout& candidate : kLayouts) {
        if (layout && *layout != candidate.layout) continue;
        if (!layout) expected += expected.empty() ? "" : "; ";
        expected += (layout ? "" : std::string(candidate.what) + ": ") + std::string(*candidate.columns);
    }
    if (layout) {
        for (const Layout& candidate : kLayouts) {
            if (candidate.layout == *layout) message += std::string(candidate.what);
        }
    } else {
        message += "a ranking file Lumaref reads";
    }
    message += ": its columns are " + (found.empty() ? std::string("none") : quotedNames(found)) +
               "; expected " + expected + ".";
    return message;
}

}  // namespace lumaref
