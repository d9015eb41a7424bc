#include "ranking/figure_columns.h"

#include <algorithm>
#include <array>

#include "db/schema_names.h"
#include "db/store_transaction.h"
#include "text/issn_form.h"
#include "text/number_text.h"

namespace lumaref {

namespace {

using Param = std::optional<std::string_view>;

struct FixedColumn {
    FigureColumnKind kind;
    const char* title;
    const char* source;
    const char* metric;
};

constexpr std::array<FixedColumn, 7> kFixedColumns = {{
    {FigureColumnKind::SubjectQuartile, "Q in subject", "JCR", "JIF Quartile"},
    {FigureColumnKind::Jif, "JIF", "JCR", "JIF"},
    {FigureColumnKind::Sjr, "SJR", "SJR", "SJR"},
    {FigureColumnKind::SjrSubjectQuartile, "SJR Q in subject", "SJR", "SJR Quartile"},
    {FigureColumnKind::HIndex, "H index", "SJR", "H index"},
    {FigureColumnKind::OpenAccess, "Open access", "DOAJ", "Open access"},
    {FigureColumnKind::Apc, "APC", "DOAJ", "APC"},
}};

bool isRankingSource(std::string_view source) {
    return std::any_of(kFixedColumns.begin(), kFixedColumns.end(),
                       [source](const FixedColumn& column) { return source == column.source; });
}

// The latest load of an own list (or the one of the year chosen): its journals with their values.
std::unordered_map<std::string, std::string> readListed(StoreTransaction& store, const std::string& list,
                                                        const ChosenYears& years) {
    const auto chosen = years.find(list);
    std::optional<std::string> yearText;
    if (chosen != years.end()) yearText = std::to_string(chosen->second);
    const Param sourceParam[] = {list};
    if (!yearText) {
        store.query("SELECT max(\"year\") FROM ranking_loads WHERE \"source\" = $1", sourceParam,
                    [&yearText](SqlRow row) {
                        if (row[0]) yearText = std::string(*row[0]);
                    });
    }
    const Param params[] = {list, yearText ? Param(*yearText) : std::nullopt};
    std::unordered_map<std::string, std::string> listed;
    const auto eachNumber = [](SqlRow row, const auto& use) {
        for (const Param& number : {row[0], row[1]}) {
            if (number) use(std::string(*number));
        }
    };
    store.query(
        "SELECT j.issn, j.eissn FROM ranking_loads l JOIN ranking_journals j ON j.\"load\" = l.\"load\" "
        "WHERE l.\"source\" = $1 AND l.\"year\" IS NOT DISTINCT FROM $2",
        params, [&](SqlRow row) {
            eachNumber(row, [&listed](const std::string& number) { listed.try_emplace(number, "yes"); });
        });
    // The load's figures are one range, in the order of their journal and metric.
    store.query(
        "SELECT j.issn, j.eissn, m.name, f.value FROM ranking_loads l "
        "JOIN ranking_figures f ON f.figure BETWEEN l.\"load\" * 4294967296 AND (l.\"load\" + 1) * "
        "4294967296 - 1 "
        "JOIN ranking_journals j ON j.\"load\" = f.\"load\" AND j.entry = f.entry "
        "JOIN ranking_names m ON m.\"load\" = f.\"load\" AND m.\"number\" = f.metric "
        "WHERE l.\"source\" = $1 AND l.\"year\" IS NOT DISTINCT FROM $2 ORDER BY f.figure",
        params, [&](SqlRow row) {
            const std::string value =
                std::string(row[2].value_or("")) + ": " + std::string(row[3].value_or(""));
            eachNumber(row, [&](const std::string& number) {
                std::string& text = listed[number];
                text = text.empty() || text == "yes" ? value : text + "; " + value;
            });
        });
    return listed;
}

}  // namespace

LoadedSources loadedSources(StoreTransaction& store) {
    LoadedSources loaded;
    store.query("SELECT DISTINCT \"source\", \"year\" FROM ranking_loads ORDER BY \"source\", \"year\" DESC",
                {}, [&loaded](SqlRow row) {
                    const std::string source(row[0].value_or(""));
                    std::vector<int>& years = loaded.years[source];
                    if (years.empty() && !isRankingSource(source) &&
                        (loaded.ownLists.empty() || loaded.ownLists.back() != source))
                        loaded.ownLists.push_back(source);
                    if (const std::optional<long long> year = row[1] ? parseInteger(*row[1]) : std::nullopt)
                        years.push_back(static_cast<int>(*year));
                });
    return loaded;
}

std::vector<FigureColumn> figureColumns(const std::vector<std::string>& ownLists) {
    std::vector<FigureColumn> columns;
    columns.reserve(kFixedColumns.size() + ownLists.size());
    for (const FixedColumn& fixed : kFixedColumns)
        columns.push_back({fixed.kind, fixed.title, fixed.source, fixed.metric});
    for (const std::string& list : ownLists) columns.push_back({FigureColumnKind::OwnList, list, list, {}});
    return columns;
}

FigureColumnValues FigureColumnValues::read(StoreTransaction& store, const std::vector<FigureColumn>& columns,
                                            const ChosenYears& years) {
    FigureColumnValues values;
    values.columns_ = columns;
    for (const FigureColumn& column : columns) {
        const auto chosen = years.find(column.source);
        const std::optional<int> year = chosen != years.end() ? std::optional(chosen->second) : std::nullopt;
        const bool listed = column.kind == FigureColumnKind::OwnList;
        values.lookups_.push_back(listed ? FigureLookup()
                                         : FigureLookup::read(store, column.source, year, column.metric));
        values.listed_.push_back(listed ? readListed(store, column.source, years)
                                        : std::unordered_map<std::string, std::string>());
    }
    return values;
}

std::string_view FigureColumnValues::valueFor(std::size_t column, std::string_view issn,
                                              std::string_view eIssn, std::string_view subject) const {
    // The three texts side by side, each ended by a byte no text holds.
    const auto same = [&] {
        const std::string_view last = lastNumbers_;
        return last.size() == issn.size() + eIssn.size() + subject.size() + 3 &&
               last.substr(0, issn.size()) == issn && last[issn.size()] == '\0' &&
               last.substr(issn.size() + 1, eIssn.size()) == eIssn &&
               last.substr(issn.size() + eIssn.size() + 2, subject.size()) == subject;
    };
    if (lastNumbers_.empty() || !same()) {
        lastJournal_ = FigureLookup::journalOf(issn, eIssn, subject);
        lastNumbers_.assign(issn).push_back('\0');
        lastNumbers_.append(eIssn).push_back('\0');
        lastNumbers_.append(subject).push_back('\0');
    }
    return valueFor(column, lastJournal_);
}

std::string_view FigureColumnValues::valueFor(std::size_t column,
                                              const FigureLookup::Journal& journal) const {
    if (columns_[column].kind != FigureColumnKind::OwnList) return lookups_[column].valueFor(journal);
    const std::unordered_map<std::string, std::string>& listed = listed_[column];
    for (const std::optional<std::string>* printed : {&journal.issn, &journal.eIssn}) {
        if (!*printed) continue;
        if (const auto found = listed.find(**printed); found != listed.end()) return found->second;
    }
    return {};
}

Column figuresOfRows(const FigureColumnValues& values, std::size_t column, const Table& journals) {
    const int issn = journals.findColumn(kIssnField);
    const int eIssn = journals.findColumn(kEIssnField);
    const int subject = journals.findColumn(kSubjectField);
    const auto textOf = [&journals](int field, std::size_t row) {
        return field < 0 ? std::string_view() : journals.columns[static_cast<std::size_t>(field)].text(row);
    };
    Column figures(FieldInfo{values.columns()[column].title});
    for (std::size_t row = 0; row < journals.rowCount(); ++row)
        figures.appendText(
            values.valueFor(column, textOf(issn, row), textOf(eIssn, row), textOf(subject, row)));
    return figures;
}

}  // namespace lumaref
