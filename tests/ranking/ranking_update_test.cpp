// The ranking updates over the journals and ranking tables of a database file: which row or table
// each journal takes its figures from, which journals are walked, and where an error leaves them.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "db/record_set.h"
#include "ranking/impact_factor_update.h"
#include "ranking/quartile_update.h"
#include "support/error_text.h"
#include "support/journals_fixture.h"

namespace lumaref::test {
namespace {

// The steps an update asks of the window, in order, a walk counted in journals: "show 10, select,
// walk 9, hide, select". Applying the selection filters the journals by `selection`, as the window
// does. At each journal reached, the journals' filter (" (off)" when not in force) and the quartile
// tables' filters are kept.
class RecordedSteps : public UpdateSteps {
public:
    void showProgress(int maximum) override { calls_.push_back("show " + std::to_string(maximum)); }
    void advanceProgress() override {
        if (calls_.empty() || calls_.back().rfind("walk ", 0) != 0) calls_.emplace_back("walk 0");
        calls_.back() = "walk " + std::to_string(std::stoi(calls_.back().substr(5)) + 1);
        reached.push_back({journals->filter() + (journals->filtered() ? "" : " (off)"), {}});
        for (std::size_t q = 0; q < quartiles.size(); ++q)
            reached.back().quartileFilters[q] = quartiles[q]->filter();
    }
    void hideProgress() override { calls_.emplace_back("hide"); }
    void applySelectionFilter() override {
        journals->setFiltered(false);
        journals->setFilter(selection);
        journals->setFiltered(true);
        calls_.emplace_back("select");
    }
    std::string calls() const {
        std::string text;
        for (const std::string& call : calls_) text += (text.empty() ? "" : ", ") + call;
        return text;
    }

    struct Reached {
        std::string journalFilter;
        std::array<std::string, 4> quartileFilters;
    };
    std::vector<Reached> reached;
    std::string selection;
    RecordSet* journals = nullptr;
    std::array<RecordSet*, 4> quartiles{};

private:
    std::vector<std::string> calls_;
};

// A Database.mdb of test journals and ranking tables, its record sets opened and named as the window
// opens them, every journal shown.
class RankingUpdateTest : public JournalsFixture {
protected:
    void open(const std::vector<TestJournal>& rows, const std::string& moreSql) {
        std::string sql = "BEGIN;\n";
        for (const TestJournal& row : rows) sql += journalRowSql(row);
        createDatabase(dbPath, sql + moreSql + "COMMIT;\n");
        openJournals();
        ranking = std::make_unique<RecordSet>("ADOQuery2", *connection, "jcr2018");
        ranking->open();
        for (std::size_t q = 0; q < quartiles.size(); ++q) {
            quartiles[q] = std::make_unique<RecordSet>("ADOQuery" + std::to_string(q + 3), *connection,
                                                       "JCRQ" + std::to_string(q + 1));
            quartiles[q]->open();
            steps.quartiles[q] = quartiles[q].get();
        }
        steps.journals = journals.get();
        select("");
    }
    // The journals shown before the update, as the window's selection left them.
    void select(const std::string& filter) {
        steps.selection = filter;
        journals->setFilter(filter);
        journals->setFiltered(true);
    }
    std::vector<std::string> quartileFilters() {
        std::vector<std::string> filters;
        filters.reserve(quartiles.size());
        for (const auto& q : quartiles) filters.push_back(q->filter() + (q->filtered() ? " (on)" : " (off)"));
        return filters;
    }
    std::string storedField(const char* field, const char* title) {
        return stored(std::string("SELECT ") + field + " FROM journals WHERE Title = " + sqlQuoted(title));
    }

    std::unique_ptr<RecordSet> ranking;
    std::array<std::unique_ptr<RecordSet>, 4> quartiles;
    RecordedSteps steps;
};

// Impact factors from jcr2018. index: 1 SCI, 2 SCIE, 3 ESCI, 4 AHCI; the figures before the update
// are IF alone ("0.x").
const std::vector<TestJournal> kRankedJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "2000-0001", "0.1", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "2000-0002", "0.2", "", 0},
    {"Gamma", "Physics", "Optics", "Monthly", "1000-0003", "2000-0003", "0.3", "", 3},
    {"Delta", "Physics", "Optics", "Monthly", "1000-0004", "2000-0004", "0.4", "", 1},
    {"Epsilon", "Chemistry", "Organic", "Monthly", "1000-0005", "2000-0005", "0.5", "", 2},
    {"Zeta", "Chemistry", "Organic", "Monthly", "1234-567x", "", "0.6", "", 0},
    {"Eta", "Chemistry", "Organic", "Monthly", "1000-0007", "", "0.7", "", 0},
    {"Theta", "Physics", "Optics", "Monthly", "1000-0008", "2000-0008", "0.8", "", 1},
    {"Iota", "Chemistry", "Organic", "Monthly", "", "", "0.9", "", 0},
    {"Kappa", "Chemistry", "Organic", "Monthly", "1000-0010", "", "1.0", "", 0},
};

const std::string kRanking = rankingRowsSql({
    {"", "999", "9.99", "9.9"},  // no identifier: must match no journal
    {"2000-0005", "500", "5.5", "5.0"},
    {"1000-0001", "100", "1.1", "1.0"},
    {"2000-0002", "200", "2.2", "2.0"},
    {"1000-0003", "300", "3.3", "3.0"},
    {"1000-0004", "400", "4.4", "4.0"},
    {"1000-0004", "401", "4.5", "4.1"},
    {"1000-0005", "555", "5.9", "5.8"},
    {"1234-567X", "600", "6.6", "6.0"},
    {"1000-0007 ", "700", "7.7", "7.0"},
    {"1000-0008", "", "", ""},
});

constexpr const char* kWalkFilter = "[Emerging Sources Citation Index] <> True";

class ImpactFactorUpdateTest : public RankingUpdateTest {
protected:
    void openLibrary(const std::string& moreSql = "") { open(kRankedJournals, kRanking + moreSql); }
    UpdateCounts update() { return updateImpactFactors(*journals, *ranking, steps); }
    // IF, Total Cites and the impact factor without self cites, as SQL quote() shows them.
    std::string storedFigures(const char* title) {
        return storedField(
            "quote(IF) || ' ' || quote(\"Total Cites\") || ' ' || "
            "quote(\"Impact Factor without Journal Self Cites\")",
            title);
    }
};

TEST_F(ImpactFactorUpdateTest, CopiesTheFirstMatchingRowIntoEveryJournalOutsideEmergingSources) {
    openLibrary();
    const UpdateCounts counts = update();

    const struct {
        const char* title;
        const char* figures;  // IF, Total Cites, without self cites, as quote() shows them
    } expected[] = {
        {"Alpha", "'1.1' '100' '1.0'"},    // by its ISSN
        {"Beta", "'2.2' '200' '2.0'"},     // by its E-ISSN
        {"Gamma", "'0.3' NULL NULL"},      // Emerging Sources: left out though a row names it
        {"Delta", "'4.4' '400' '4.0'"},    // the earlier of two rows
        {"Epsilon", "'5.5' '500' '5.0'"},  // its E-ISSN row comes before its ISSN row
        {"Zeta", "'0.6' NULL NULL"},       // 1234-567x is not 1234-567X
        {"Eta", "'0.7' NULL NULL"},        // a trailing blank differs
        {"Theta", "'' '' ''"},             // empty figures are copied as empty text
        {"Iota", "'0.9' NULL NULL"},       // empty identifiers match no row, not even an empty one
        {"Kappa", "'1.0' NULL NULL"},
    };
    for (const auto& e : expected) EXPECT_EQ(storedFigures(e.title), e.figures) << e.title;

    EXPECT_EQ(counts.posted, 5);  // Alpha, Beta, Delta, Epsilon and Theta
    EXPECT_EQ(counts.walked, 9);
    // The bar counts the whole selection; the walk leaves the Emerging Sources journal out.
    EXPECT_EQ(steps.calls(), "show 10, select, walk 9, hide, select");
    for (const RecordedSteps::Reached& step : steps.reached) EXPECT_EQ(step.journalFilter, kWalkFilter);
    EXPECT_FALSE(ranking->filtered());
}

TEST_F(ImpactFactorUpdateTest, AFailedPostEndsTheRunWhereItHappened) {
    openLibrary();
    // Another program changes Delta after it was read: its post must fail, not overwrite.
    execSql(dbPath, "UPDATE journals SET IF = 'elsewhere' WHERE Title = 'Delta'");

    EXPECT_EQ(errorOf([&] { update(); }).rfind("Row cannot be located for updating", 0), 0u);
    // Posted before the failure: kept. The failing journal and those after it: untouched.
    EXPECT_EQ(storedFigures("Alpha"), "'1.1' '100' '1.0'");
    EXPECT_EQ(storedFigures("Beta"), "'2.2' '200' '2.0'");
    EXPECT_EQ(storedFigures("Delta"), "'elsewhere' NULL NULL");
    EXPECT_EQ(storedFigures("Epsilon"), "'0.5' NULL NULL");
    // The bar is left where the walk stopped, the filter the one of the walk.
    EXPECT_EQ(steps.calls(), "show 10, select, walk 3");
    EXPECT_EQ(journals->filter(), kWalkFilter);
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    // Nothing half-copied waits to be posted by the next move.
    EXPECT_EQ(errorOf([&] { journals->first(); }), "(no error)");
    EXPECT_EQ(storedFigures("Delta"), "'elsewhere' NULL NULL");
}

TEST_F(ImpactFactorUpdateTest, AFieldMissingFromTheRankingTableFailsAtTheFirstMatch) {
    openLibrary(
        "ALTER TABLE jcr2018 RENAME COLUMN \"Total Cites\" TO Cites;"
        "UPDATE jcr2018 SET ISSN = 'none' WHERE ISSN = '1000-0001';");

    EXPECT_EQ(errorOf([&] { update(); }), "ADOQuery2: Field 'Total Cites' not found");
    // Alpha no longer matches; Beta is the first match and keeps its figures whole.
    EXPECT_EQ(storedFigures("Beta"), "'0.2' NULL NULL");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    EXPECT_EQ(steps.calls(), "show 10, select, walk 2");
}

// Quartiles from JCRQ1..JCRQ4.
const std::vector<TestJournal> kQuartileJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "2000-0001", "", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "2000-0002", "", "Q1", 1},
    {"Gamma", "Physics", "Optics", "Monthly", "1000-0003", "2000-0003", "", "Q2", 1},
    {"Delta", "Physics", "Optics", "Monthly", "", "", "", "Q4", 1},
    {"O'Hara", "Chemistry", "Organic", "Monthly", "10'00-0005", "", "", "", 2},
    {"Zeta", "Chemistry", "Organic", "Monthly", "1000-0006", "", "", "", 2},
    {"Eta", "Chemistry", "Organic", "Monthly", "1000-000x", "", "", "", 2},
};

// Rows without an ISSN pass the filter of every journal without an E-ISSN.
const std::string kQuartiles =
    quartileRowsSql(1, {"", "2000-0001", "9999-0001"}) + quartileRowsSql(2, {"1000-0001", "", "1000-0006"}) +
    quartileRowsSql(3, {"1000-0002", "1000-000X"}) + quartileRowsSql(4, {"10'00-0005", "1000-0002"});

class QuartileUpdateTest : public RankingUpdateTest {
protected:
    void openLibrary(const std::string& moreSql = "") { open(kQuartileJournals, kQuartiles + moreSql); }
    UpdateCounts update() { return updateQuartiles(*journals, steps.quartiles, steps); }
    std::string storedQuartile(const char* title) { return storedField("quote(Q)", title); }
};

TEST_F(QuartileUpdateTest, SetsTheFirstQuartileListingTheJournal) {
    openLibrary();
    const UpdateCounts counts = update();

    const struct {
        const char* title;
        const char* quartile;
    } expected[] = {
        {"Alpha", "'Q1'"},   // E-ISSN in JCRQ1 beats ISSN in JCRQ2
        {"Beta", "'Q3'"},    // JCRQ1 and JCRQ2 consulted without effect; JCRQ3 before JCRQ4
        {"Gamma", "'Q2'"},   // in no table: keeps its quartile
        {"Delta", "'Q4'"},   // no identifiers: only rows without an ISSN pass, which list nothing
        {"O'Hara", "'Q4'"},  // the quote is doubled in the filter and still matches
        {"Zeta", "'Q2'"},    // an empty-ISSN row first in the filtered set does not hide its own row
        {"Eta", "'Q3'"},     // the filter's equality ignores letter case
    };
    for (const auto& e : expected) EXPECT_EQ(storedQuartile(e.title), e.quartile) << e.title;
    EXPECT_EQ(counts.posted, 5);  // all but Gamma and Delta

    EXPECT_EQ(quartileFilters(), (std::vector<std::string>{
                                     "ISSN ='1000-000x' OR ISSN='' (on)",  // last journal, all four
                                     "ISSN ='1000-000x' OR ISSN='' (on)", "ISSN ='1000-000x' OR ISSN='' (on)",
                                     "ISSN ='10''00-0005' OR ISSN='' (on)",  // Eta stopped at JCRQ3
                                 }));
    // Every journal shown is walked, under the selection as it stood.
    EXPECT_EQ(steps.calls(), "show 7, walk 7, hide, select");
    for (const RecordedSteps::Reached& step : steps.reached) EXPECT_EQ(step.journalFilter, "");
}

TEST_F(QuartileUpdateTest, AFailedPostEndsTheRunWhereItHappened) {
    openLibrary();
    execSql(dbPath, "UPDATE journals SET Q = 'Q9' WHERE Title = 'Beta'");

    EXPECT_EQ(errorOf([&] { update(); }).rfind("Row cannot be located for updating", 0), 0u);
    EXPECT_EQ(storedQuartile("Alpha"), "'Q1'");
    EXPECT_EQ(storedQuartile("Beta"), "'Q9'");
    EXPECT_EQ(storedQuartile("O'Hara"), "''");
    EXPECT_EQ(steps.calls(), "show 7, walk 2");
    EXPECT_EQ(journals->state(), RecordSet::State::Browse);
    // Beta was looked up in JCRQ1 to JCRQ3; JCRQ4 was never consulted.
    EXPECT_EQ(quartileFilters(),
              (std::vector<std::string>{"ISSN ='1000-0002' OR ISSN='2000-0002' (on)",
                                        "ISSN ='1000-0002' OR ISSN='2000-0002' (on)",
                                        "ISSN ='1000-0002' OR ISSN='2000-0002' (on)", " (off)"}));
}

// A quartile table whose ISSN is a number rejects the quartile filter: the walk goes table by table
// and fails exactly where that filter is first set.
TEST_F(QuartileUpdateTest, AFilterTheTableRejectsEndsTheRunAtThatTable) {
    openLibrary(
        "DROP TABLE JCRQ4; CREATE TABLE JCRQ4 (\"Journal Title\" TEXT(255), ISSN INTEGER);"
        "INSERT INTO JCRQ4 VALUES ('T', 12345678);");

    EXPECT_EQ(errorOf([&] { update(); }),
              "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
              "another.");
    EXPECT_EQ(storedQuartile("Alpha"), "'Q1'");
    EXPECT_EQ(storedQuartile("Beta"), "'Q3'");
    EXPECT_EQ(storedQuartile("Gamma"), "'Q2'");
    EXPECT_EQ(steps.calls(), "show 7, walk 3");
    // Gamma, in none of the first three tables, was the first journal to reach JCRQ4.
    const std::string gamma = "ISSN ='1000-0003' OR ISSN='2000-0003'";
    EXPECT_EQ(quartileFilters(), (std::vector<std::string>{gamma + " (on)", gamma + " (on)", gamma + " (on)",
                                                           gamma + " (off)"}));
    // When the walk reaches the second journal, the tables hold the first journal's filter.
    ASSERT_GE(steps.reached.size(), 2u);
    EXPECT_EQ(steps.reached[1].quartileFilters,
              (std::array<std::string, 4>{"ISSN ='1000-0001' OR ISSN='2000-0001'", "", "", ""}));
}

// With no journal shown, neither update does anything, not even show the bar.
TEST_F(RankingUpdateTest, AnEmptySelectionChangesNothing) {
    open(kRankedJournals, kRanking + kQuartiles);
    select("category='Astronomy'");
    EXPECT_EQ(updateImpactFactors(*journals, *ranking, steps).walked, 0);
    EXPECT_EQ(updateQuartiles(*journals, steps.quartiles, steps).walked, 0);
    EXPECT_EQ(steps.calls(), "");
    EXPECT_EQ(journals->filter(), "category='Astronomy'");
    EXPECT_EQ(quartileFilters()[0], " (off)");
    EXPECT_EQ(storedField("quote(IF) || quote(Q)", "Alpha"), "'0.1'''");
}

// Both walk only the journals shown; the impact factors leave out the Emerging Sources journals too.
TEST_F(RankingUpdateTest, BothWalkOnlyTheSelection) {
    open(kRankedJournals, kRanking + kQuartiles);
    select("category='Physics' AND [Science Citation Index] = True");
    updateImpactFactors(*journals, *ranking, steps);
    ASSERT_FALSE(steps.reached.empty());
    EXPECT_EQ(steps.reached.front().journalFilter,
              "category='Physics' AND [Science Citation Index] = True AND "
              "[Emerging Sources Citation Index] <> True");
    updateQuartiles(*journals, steps.quartiles, steps);

    EXPECT_EQ(steps.calls(), "show 3, select, walk 3, hide, select, show 3, walk 3, hide, select");
    EXPECT_EQ(journals->filter(), "category='Physics' AND [Science Citation Index] = True");
    const std::pair<const char*, const char*> expected[] = {{"Alpha", "'1.1' 'Q1'"},
                                                            {"Delta", "'4.4' ''"},
                                                            {"Theta", "'' ''"},
                                                            {"Beta", "'0.2' ''"},  // Physics, but not SCI
                                                            {"Epsilon", "'0.5' ''"}};
    for (const auto& [title, figures] : expected)
        EXPECT_EQ(storedField("quote(IF) || ' ' || quote(Q)", title), figures) << title;
}

}  // namespace
}  // namespace lumaref::test
