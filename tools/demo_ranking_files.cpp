#include "demo_ranking_files.h"

#include <string_view>

#include "demo_journal.h"
#include "demo_random.h"
#include "demo_vocabulary.h"

namespace lumaref::demo {

namespace {

constexpr std::uint64_t kRankingStream = 7;

std::string withoutHyphen(const std::string& issn) {
    return issn.empty() ? issn : issn.substr(0, 4) + issn.substr(5);
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// The first `bytes` bytes of a UTF-8 text, or fewer: never half a character.
std::string_view leading(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    return text.substr(0, bytes);
}

// "3,456" for 3456 thousandths, as the SJR download writes decimals.
std::string decimalComma(std::uint32_t milli) {
    std::string text = formatImpact(milli);
    text[text.find('.')] = ',';
    return text;
}

// The journal's subject and up to two more of its category, as "Name (Q2)" parts.
std::string categoriesOf(const Journal& journal, Random& random, int count, std::string_view separator,
                         bool quartiles) {
    const CategoryWords& words = categoryWords()[journal.category];
    std::string text;
    std::size_t subject = journal.subject;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            const std::size_t next = random.below(words.subjects.size());
            if (text.find(words.subjects[next]) != std::string::npos) continue;
            subject = next;
        }
        text += (text.empty() ? "" : std::string(separator)) + std::string(words.subjects[subject]);
        if (quartiles && !random.chance(100)) text += " (Q" + std::to_string(1 + random.below(4)) + ")";
    }
    return text;
}

}  // namespace

std::string sjrDownload(std::uint64_t seed, std::uint64_t rows, int year) {
    const JournalMaker maker(seed);
    const std::string y = std::to_string(year);
    std::string out =
        "\xEF\xBB\xBFRank;Sourceid;Title;Type;Issn;SJR;SJR Best Quartile;H index;Total Docs. (" + y +
        ");Total Docs. (3years);Total Refs.;Total Cites (3years);Citable Docs. (3years);Cites / Doc. "
        "(2years);"
        "Ref. / Doc.;%Female;Overton;SDG;Country;Region;Publisher;Coverage;Categories;Areas\n";
    for (std::uint64_t n = 0; n < rows; ++n) {
        const Journal journal = maker.make(n);
        Random random = Random::forItem(seed, kRankingStream, n);
        std::string issns = withoutHyphen(journal.issn);
        if (!journal.eissn.empty()) issns += (issns.empty() ? "" : ", ") + withoutHyphen(journal.eissn);
        if (issns.empty() || random.chance(10)) issns = "-";
        const std::uint32_t sjr = 100 + static_cast<std::uint32_t>(random.below(9000));
        const std::string categories =
            categoriesOf(journal, random, 3 + static_cast<int>(random.below(2)), "; ", true);
        out += std::to_string(n + 1) + ";" + std::to_string(10000 + n) + ";" + quoted(journal.title) +
               ";journal;" + quoted(issns) + ";" + decimalComma(sjr) + ";Q" +
               std::to_string(1 + random.below(4)) + ";" + std::to_string(random.below(400)) + ";" +
               std::to_string(random.below(900)) + ";" + std::to_string(random.below(2500)) + ";" +
               std::to_string(random.below(90000)) + ";" + std::to_string(random.below(30000)) + ";" +
               std::to_string(random.below(2400)) + ";" +
               decimalComma(static_cast<std::uint32_t>(random.below(20000))) + ";" +
               decimalComma(static_cast<std::uint32_t>(random.below(90000))) + ";" +
               decimalComma(static_cast<std::uint32_t>(random.below(90000))) + ";" +
               std::to_string(random.below(50)) + ";" + std::to_string(random.below(50)) +
               ";\"United States\";Northern America;" +
               quoted("Publisher " + std::to_string(random.below(3000))) + ";\"1996-" + y + "\";" +
               quoted(categories) + ";" + quoted(categoryWords()[journal.category].name) + "\n";
    }
    return out;
}

std::string jcrExport(std::uint64_t seed, std::uint64_t rows, int year) {
    const JournalMaker maker(seed);
    const std::string y = std::to_string(year);
    std::string out = "\"Journal Data Filtered By:  Selected JCR Year: " + y +
                      " Selected Editions: SCIE,SSCI\"\r\n"
                      "\"Journal name\",\"JCR Abbreviation\",\"Publisher\",\"ISSN\",\"eISSN\",\"Category\","
                      "\"Edition\",\"Total Citations\",\"" +
                      y + " JIF\",\"JIF Quartile\",\"" + y + " JCI\",\"% of OA Gold\"\r\n";
    std::uint64_t written = 0;
    for (std::uint64_t n = 0; written < rows; ++n) {
        const Journal journal = maker.make(n);
        Random random = Random::forItem(seed, kRankingStream, n);
        const std::uint32_t impact = 50 + static_cast<std::uint32_t>(random.below(12000));
        const std::string jif = random.chance(15) ? "<0.1" : formatImpact(impact);
        const std::string cites = formatCites(static_cast<std::uint32_t>(random.below(200000)));
        const std::string jci = formatImpact(static_cast<std::uint32_t>(random.below(4000)));
        const std::string issn = journal.issn.empty() ? "N/A" : journal.issn;
        const std::string eissn = journal.eissn.empty() ? "N/A" : journal.eissn;
        const int categories = random.chance(450) ? 2 : 1;
        const CategoryWords& words = categoryWords()[journal.category];
        for (int c = 0; c < categories && written < rows; ++c, ++written) {
            const std::string_view category =
                words.subjects[c == 0 ? journal.subject : random.below(words.subjects.size())];
            out += quoted(journal.title) + "," + quoted(leading(rankingTitle(journal.title), 20)) + ",";
            out += quoted(journal.address.substr(0, journal.address.find(','))) + ",";
            out += quoted(issn) + "," + quoted(eissn) + "," + quoted(rankingTitle(category)) + ",\"SCIE\",";
            out += quoted(cites) + "," + quoted(jif) + ",\"Q" + std::to_string(1 + random.below(4)) + "\",";
            out += quoted(jci) + ",\"" + std::to_string(random.below(100)) + ".00%\"\r\n";
        }
    }
    out += "\"Copyright (c) " + std::to_string(year + 1) +
           " Clarivate\"\r\n\"By exporting the selected data, you agree to the terms of use\"\r\n";
    return out;
}

std::string doajJournalCsv(std::uint64_t seed, std::uint64_t rows) {
    const JournalMaker maker(seed);
    std::string out =
        "\"Journal title\",\"Journal URL\",\"URL in DOAJ\",\"Alternative title\",\"Journal ISSN (print "
        "version)\","
        "\"Journal EISSN (online version)\",\"Keywords\",\"Languages in which the journal accepts "
        "manuscripts\","
        "\"Publisher\",\"Country of publisher\",\"Journal license\",\"APC\",\"APC amount\",\"DOAJ Seal\","
        "\"Subjects\",\"Added on Date\",\"Last updated Date\"\n";
    static constexpr std::string_view kLicences[] = {"CC BY", "CC BY, CC BY-NC", "CC BY-NC-ND", "CC BY-SA"};
    for (std::uint64_t n = 0; n < rows; ++n) {
        const Journal journal = maker.make(n);
        Random random = Random::forItem(seed, kRankingStream, n);
        const bool charges = random.chance(300);
        const std::string amount =
            charges ? std::to_string(500 + random.below(3000)) + (random.chance(500) ? " USD" : " EUR") : "";
        out += quoted(journal.title) + ",\"https://journal" + std::to_string(n) +
               ".example.org\",\"https://doaj.org/toc/" + journal.eissn + "\",\"\",\"" + journal.issn +
               "\",\"" + journal.eissn + "\"," +
               quoted(std::string(categoryWords()[journal.category].subjects[journal.subject]) +
                      ", research, open science") +
               ",\"English\"," + quoted(journal.address.substr(0, journal.address.find(','))) +
               ",\"Germany\",\"" + std::string(kLicences[random.below(4)]) + "\",\"" +
               (charges ? "Yes" : "No") + "\",\"" + amount + "\",\"" + (random.chance(100) ? "Yes" : "No") +
               "\"," + quoted("Science: " + std::string(categoryWords()[journal.category].name)) +
               ",\"2019-05-02T10:11:12Z\",\"2024-01-15T08:09:10Z\"\n";
    }
    return out;
}

std::string ownList(std::uint64_t seed, std::uint64_t rows) {
    const JournalMaker maker(seed);
    std::string out = "Title,ISSN,E-ISSN,Level,Panel\r\n";
    for (std::uint64_t n = 0; n < rows; ++n) {
        const Journal journal = maker.make(n);
        Random random = Random::forItem(seed, kRankingStream, n);
        out += quoted(journal.title) + "," + journal.issn + "," + journal.eissn + "," +
               std::to_string(1 + random.below(3)) + "," + quoted(categoryWords()[journal.category].name) +
               "\r\n";
    }
    return out;
}

std::string masterListDownload(std::uint64_t seed, std::uint64_t rows) {
    const JournalMaker maker(seed);
    std::string out =
        "\"Journal title\",\"ISSN\",\"eISSN\",\"Publisher name\",\"Publisher address\",\"Languages\","
        "\"Web of Science Categories\"\r\n";
    for (std::uint64_t n = 0; n < rows; ++n) {
        const Journal journal = maker.make(n);
        Random random = Random::forItem(seed, kRankingStream, n);
        const std::size_t comma = journal.address.find(',');
        const std::string publisher = journal.address.substr(0, comma);
        const std::string address = comma == std::string::npos ? "" : journal.address.substr(comma + 2);
        out += quoted(rankingTitle(journal.title)) + ",\"" + journal.issn + "\",\"" + journal.eissn + "\"," +
               quoted(publisher) + "," + quoted(address) + ",\"English\"," +
               quoted(categoriesOf(journal, random, 1 + static_cast<int>(random.below(2)), " | ", false)) +
               "\r\n";
    }
    return out;
}

}  // namespace lumaref::demo
