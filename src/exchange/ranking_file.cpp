#include "exchange/ranking_file.h"

#include "exchange/doaj_file.h"
#include "exchange/own_list_file.h"
#include "exchange/sjr_file.h"
#include "text/error.h"

namespace lumaref {

namespace {

// 1234567 -> "1,234,567", as the window writes counts.
std::string countText(std::size_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string plural(std::size_t count, std::string_view one, std::string_view many) {
    return countText(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

RankingFile readRankingFile(std::string_view text, const std::string& fileName,
                            const RankingFileRequest& request) {
    const std::optional<RankingHeader> header = findRankingHeader(text, request.layout);
    if (!header)
        throw Error(unknownLayoutMessage(text, fileName, request.layout) + std::string(kNothingLoaded));
    RankingFile file;
    file.layout = header->layout;
    switch (header->layout) {
        case RankingLayout::Jcr:
            file.jcr = readJcrExport(text, *header, fileName);
            file.read.figures = std::move(file.jcr.figures);
            file.read.report.rows = file.jcr.report.rowsRead;
            file.read.report.rowsWithoutIssn = file.jcr.report.journalsWithoutIssn;
            break;
        case RankingLayout::Sjr:
            file.read = readSjrFile(text, *header, fileName, request.year);
            break;
        case RankingLayout::Doaj:
            file.read = readDoajFile(text, *header, fileName, request.currentYear);
            break;
        case RankingLayout::OwnList:
            file.read = readOwnListFile(text, *header, fileName, request.listName, request.year);
            break;
    }
    return file;
}

RankingStoreReport storeRankingFile(StoreTransaction& store, const RankingFile& file,
                                    std::string_view fileName) {
    if (file.layout == RankingLayout::Jcr) replaceJcrTables(store, file.jcr);
    return replaceRankingFigures(store, file.read.figures, fileName);
}

std::string sourceAndYearText(const RankingFigures& figures) {
    return figures.source() + (figures.year() ? " " + std::to_string(*figures.year()) : std::string());
}

std::string rankingStoreSummary(const RankingFile& file, const RankingStoreReport& stored) {
    std::string text = "Recorded " + plural(stored.figures, "figure", "figures") + " of " +
                       plural(stored.journals, "journal", "journals") + " as " +
                       sourceAndYearText(file.read.figures);
    if (stored.journalsReplaced > 0)
        text += " (replacing " + plural(stored.journalsReplaced, "journal", "journals") + ")";
    text += "; " + plural(file.read.report.rowsWithoutIssn, "row", "rows") + " without an ISSN.";
    return text;
}

}  // namespace lumaref
