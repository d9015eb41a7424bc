#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>

#include "exchange/ranking_file.h"
#include "text/error.h"
#include "text/issn_form.h"
#include "text/text_file.h"

// Any bytes read as the ranking file of one layout: refused with an Error, or read into figures that
// are whole. Every figure names a journal and names that exist, has a value, and comes once, in key
// order; every journal has a number in the printed form; no more journals than rows.
inline int checkRankingFile(const std::uint8_t* data, std::size_t size, lumaref::RankingLayout layout) {
    const lumaref::RankingFileRequest request{layout, std::nullopt, "List", 2024};
    try {
        // Bytes that are no text are refused as the loads refuse them.
        const std::string text =
            lumaref::decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
        const lumaref::RankingFile file = lumaref::readRankingFile(text, "fuzz.csv", request);
        const lumaref::RankingFigures& figures = file.read.figures;
        if (file.layout != layout || figures.journals().size() > file.read.report.rows ||
            file.read.report.rowsWithoutIssn > file.read.report.rows) {
            std::abort();
        }
        for (const lumaref::RankingJournal& journal : figures.journals()) {
            if (journal.issn.empty() && journal.eissn.empty()) std::abort();
            for (const std::string* number : {&journal.issn, &journal.eissn}) {
                if (!number->empty() && !lumaref::hasIssnForm(*number)) std::abort();
            }
        }
        const lumaref::RankingFigure* previous = nullptr;
        for (const lumaref::RankingFigure& figure : figures.figures()) {
            if (figure.entry == 0 || figure.entry > figures.journals().size() || figure.metric == 0 ||
                figure.metric > figures.names().size() || figure.category > figures.names().size() ||
                figure.value.empty()) {
                std::abort();
            }
            if (previous != nullptr && std::tie(previous->entry, previous->category, previous->metric) >=
                                           std::tie(figure.entry, figure.category, figure.metric)) {
                std::abort();
            }
            previous = &figure;
        }
    } catch (const lumaref::Error&) {
        // Refused with a message: fine.
    }
    return 0;
}
