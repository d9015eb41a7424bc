#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumaref {

// The sources as the view journal_rankings names them; an own list goes by the name it is given.
inline constexpr std::string_view kJcrSource = "JCR";
inline constexpr std::string_view kSjrSource = "SJR";
inline constexpr std::string_view kDoajSource = "DOAJ";

// The DOAJ's data comes under CC BY-SA 4.0, which asks that whatever shows it names its source: the
// user guide, and every export that carries DOAJ figures, say this.
inline constexpr std::string_view kDoajAttribution =
    "Open access and APC figures: Directory of Open Access Journals (DOAJ), https://doaj.org, "
    "CC BY-SA 4.0.";

// A journal of a ranking file; numbers in the printed form 1234-567X, "" for none.
struct RankingJournal {
    std::string issn;
    std::string eissn;
    std::string title;
};

// One figure: its journal's entry, its category (0 for the journal as a whole) and metric as name
// numbers, and its value as text.
struct RankingFigure {
    std::uint32_t entry = 0;
    std::uint32_t category = 0;
    std::uint32_t metric = 0;
    std::string value;
};

// One source and year's figures as a ranking file gives them, numbered as the tables keep them:
// journals (entries) and names from 1, in the order they were first met.
class RankingFigures {
public:
    RankingFigures() = default;
    RankingFigures(std::string source, std::optional<int> year) : source_(std::move(source)), year_(year) {}

    const std::string& source() const { return source_; }
    std::optional<int> year() const { return year_; }

    void reserve(std::size_t journals, std::size_t figures) {
        journals_.reserve(journals);
        figures_.reserve(figures);
    }
    std::uint32_t addJournal(RankingJournal journal);
    // The number of a metric or category name, given to it the first time it is asked for.
    std::uint32_t nameNumber(std::string_view name);
    // An empty value is no figure. Of two figures with one journal, category and metric the first
    // stays (a journal listed twice in one category).
    void add(std::uint32_t entry, std::uint32_t category, std::uint32_t metric, std::string value);
    // Puts the figures in key order, each key once; call it once all are added.
    void finish();

    const std::vector<std::string>& names() const { return names_; }           // name number n at n - 1
    const std::vector<RankingJournal>& journals() const { return journals_; }  // entry n at n - 1
    const std::vector<RankingFigure>& figures() const { return figures_; }

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };

    std::string source_;
    std::optional<int> year_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> numbers_;
    std::vector<RankingJournal> journals_;
    std::vector<RankingFigure> figures_;
};

// What reading a ranking file found besides its figures.
struct RankingReadReport {
    std::size_t rows = 0;             // data rows
    std::size_t rowsWithoutIssn = 0;  // rows with no ISSN of any kind: no figures
    // Lines where a quote inside an unquoted field was read as a character, for a warning.
    std::vector<std::size_t> literalQuoteLines;
};

// A ranking file read: its figures and what the reading found.
struct RankingRead {
    RankingFigures figures;
    RankingReadReport report;
};

// Numbers as the view gives them, from the forms files write: "12,345" -> "12345" (thousands
// separators), and with `decimalComma` "1,5" -> "1.5". Anything that is not such a number ("<0.1",
// "Q1") comes back as it is, blanks around it trimmed.
std::string plainNumber(std::string_view text, bool decimalComma);

}  // namespace lumaref
