#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "issn.h"

namespace lumaref::demo {

// One generated journal with everything the tables say about it.
struct Journal {
    std::string title;
    std::string issn;   // empty: online only
    std::string eissn;  // empty: print only
    std::string_view frequency;
    std::string address;
    bool sci = false;
    bool scie = false;
    bool esci = false;
    bool ahci = false;
    std::string_view contents1;
    std::string_view contents2;
    std::size_t category = 0;  // into categoryWords()
    std::size_t subject = 0;   // into that category's subjects

    // Its row of the yearly ranking table, if it has one.
    bool ranked = false;
    bool rankedByEIssn = false;     // the row carries the E-ISSN in its ISSN column
    bool duplicateRanking = false;  // a second row with the same ISSN and other figures
    bool emptyFigures = false;      // the row's three figures are empty
    std::uint32_t impactMilli = 0;  // impact factor in thousandths
    std::uint32_t impactWithoutSelfMilli = 0;
    std::uint32_t totalCites = 0;
    int quartile = 0;                 // 1..4 when ranked with figures
    bool alsoInNextQuartile = false;  // listed in a second quartile table too (another category)
    bool figuresCopied = false;       // the journal row already holds its figures, as after an update

    std::string_view rankingIssn() const { return rankedByEIssn ? eissn : issn; }
};

// Makes journal number `index` from the seed alone, so any one can be made again in any order.
class JournalMaker {
public:
    explicit JournalMaker(std::uint64_t seed);

    Journal make(std::uint64_t index) const;
    // The same with the category and subject fixed (a master list holds one subject).
    Journal make(std::uint64_t index, std::size_t category, std::size_t subject) const;

private:
    std::uint64_t seed_;
    IssnNumbers numbers_;
};

// "2.345" for 2345 thousandths; "12,345" for 12345 citations, as the ranking table writes them.
std::string formatImpact(std::uint32_t milli);
std::string formatCites(std::uint32_t cites);
// Upper case for ASCII letters only, as the ranking table writes titles.
std::string rankingTitle(std::string_view title);

}  // namespace lumaref::demo
