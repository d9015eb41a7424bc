#include "demo_database.h"

#include "db/schema_names.h"
#include "db/statement.h"
#include "demo_vocabulary.h"
#include "text/error.h"

namespace lumaref::demo {

namespace {

// Missing values are stored as null, as the importer leaves the fields it does not write.
// The text must outlive the statement's next step.
void bindText(Statement& statement, int column, std::string_view text) {
    if (text.empty()) {
        statement.bindNull(column);
    } else {
        statement.bindText(column, text);
    }
}

std::string columnList(std::initializer_list<std::string_view> names) {
    std::string list;
    for (const std::string_view name : names) list += (list.empty() ? "" : ", ") + quoteIdentifier(name);
    return list;
}

std::string insertSql(std::string_view table, std::initializer_list<std::string_view> columns) {
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) marks += i == 0 ? "?" : ",?";
    return "INSERT INTO " + std::string(table) + " (" + columnList(columns) + ") VALUES (" + marks + ")";
}

}  // namespace

DemoDatabase::DemoDatabase(const std::string& target, bool replaceExisting, std::string_view schemaSql)
    : staged_(target, replaceExisting) {
    try {
        exec(staged_.handle(), schemaSql);
    } catch (const SqliteError& failure) {
        throw Error("Cannot write \"" + staged_.temporaryPath() + "\": " + failure.sqliteText());
    }
    journal_ = prepare(insertSql(
        kJournalsTable,
        {kTitleField, kIssnField, kEIssnField, kFrequencyField, kImpactFactorField, kTotalCitesField,
         kImpactFactorWithoutSelfCitesField, kQuartileField, kScienceCitationIndexField,
         kScienceCitationIndexExpandedField, kEmergingSourcesCitationIndexField,
         kArtsHumanitiesCitationIndexField, kFirstCurrentContentsField, kSecondCurrentContentsField,
         kAddressField, kCategoryField, kSubjectField}));
    ranking_ =
        prepare(insertSql(kRankingTable, {kRankField, kFullJournalTitleField, kIssnField, kTotalCitesField,
                                          kJournalImpactFactorField, kImpactFactorWithoutSelfCitesField}));
    for (std::size_t q = 0; q < quartile_.size(); ++q) {
        quartile_[q] = prepare(insertSql(kQuartileTables[q], {kJournalTitleField, kIssnField}));
    }
}

DemoDatabase::~DemoDatabase() = default;

void DemoDatabase::addJournal(const Journal& j) {
    Statement& s = *journal_;
    const bool figures = j.figuresCopied && !j.emptyFigures;
    const std::string impact = figures ? formatImpact(j.impactMilli) : "";
    const std::string cites = figures ? formatCites(j.totalCites) : "";
    const std::string withoutSelf = figures ? formatImpact(j.impactWithoutSelfMilli) : "";
    static constexpr std::string_view kQuartiles[] = {"", "Q1", "Q2", "Q3", "Q4"};
    const CategoryWords& words = categoryWords()[j.category];
    try {
        bindText(s, 1, j.title);
        bindText(s, 2, j.issn);
        bindText(s, 3, j.eissn);
        bindText(s, 4, j.frequency);
        bindText(s, 5, impact);
        bindText(s, 6, cites);
        bindText(s, 7, withoutSelf);
        bindText(s, 8, j.figuresCopied ? kQuartiles[j.quartile] : "");
        s.bindInt64(9, j.sci ? 1 : 0);
        s.bindInt64(10, j.scie ? 1 : 0);
        s.bindInt64(11, j.esci ? 1 : 0);
        s.bindInt64(12, j.ahci ? 1 : 0);
        bindText(s, 13, j.contents1);
        bindText(s, 14, j.contents2);
        bindText(s, 15, j.address);
        bindText(s, 16, words.name);
        bindText(s, 17, words.subjects[j.subject]);
    } catch (const SqliteError& failure) {
        fail("Cannot write", failure);
    }
    step(s);
}

void DemoDatabase::addRanking(int rank, const Journal& j, bool secondRow) {
    Statement& s = *ranking_;
    const std::string title = rankingTitle(j.title);
    const std::uint32_t impact = secondRow ? j.impactMilli * 9 / 10 + 1 : j.impactMilli;
    const std::uint32_t totalCites = secondRow ? j.totalCites / 2 : j.totalCites;
    const std::uint32_t withoutSelf =
        secondRow ? j.impactWithoutSelfMilli * 9 / 10 : j.impactWithoutSelfMilli;
    // An empty figure is an empty text in the table, not a missing one.
    const bool empty = j.emptyFigures && !secondRow;
    const std::string figures[] = {empty ? "" : formatCites(totalCites), empty ? "" : formatImpact(impact),
                                   empty ? "" : formatImpact(withoutSelf)};
    try {
        s.bindInt64(1, rank);
        bindText(s, 2, title);
        bindText(s, 3, j.rankingIssn());
        for (int column = 4; column <= 6; ++column) {
            const std::string& figure = figures[column - 4];
            if (empty) {
                s.bindText(column, "");
            } else {
                bindText(s, column, figure);
            }
        }
    } catch (const SqliteError& failure) {
        fail("Cannot write", failure);
    }
    step(s);
}

void DemoDatabase::addQuartile(int quartile, const Journal& j) {
    Statement& s = *quartile_[static_cast<std::size_t>(quartile - 1)];
    try {
        bindText(s, 1, j.title);
        bindText(s, 2, j.rankingIssn());
    } catch (const SqliteError& failure) {
        fail("Cannot write", failure);
    }
    step(s);
}

void DemoDatabase::commit() {
    journal_.reset();
    ranking_.reset();
    for (auto& statement : quartile_) statement.reset();
    staged_.commit();
}

std::unique_ptr<Statement> DemoDatabase::prepare(const std::string& sql) {
    try {
        return std::make_unique<Statement>(staged_.handle(), sql);
    } catch (const SqliteError& failure) {
        fail("Cannot prepare a statement for", failure);
    }
}

void DemoDatabase::step(Statement& statement) {
    try {
        statement.step();
        statement.reset();
    } catch (const SqliteError& failure) {
        fail("Cannot write", failure);
    }
}

void DemoDatabase::fail(std::string_view what, const SqliteError& failure) const {
    throw Error(std::string(what) + " \"" + staged_.temporaryPath() + "\": " + failure.sqliteText());
}

}  // namespace lumaref::demo
