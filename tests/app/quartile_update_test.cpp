#include "app/progress_stepper.h"
#include "app/ranking_fixture.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

const std::vector<TestJournal> kJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "2000-0001", "", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "2000-0002", "", "Q1", 1},
    {"Gamma", "Physics", "Optics", "Monthly", "1000-0003", "2000-0003", "", "Q2", 1},
    {"Delta", "Physics", "Optics", "Monthly", "", "", "", "Q4", 1},
    {"O'Hara", "Chemistry", "Organic", "Monthly", "10'00-0005", "", "", "", 2},
    {"Zeta", "Chemistry", "Organic", "Monthly", "1000-0006", "", "", "", 2},
    {"Eta", "Chemistry", "Organic", "Monthly", "1000-000x", "", "", "", 2},
};

class QuartileUpdateTest : public RankingWindowTest {
protected:
    void SetUp() override {
        createLibrary(kJournals);
        // Rows without an ISSN pass the filter of every journal without an E-ISSN.
        addQuartileRows(1, {"", "2000-0001", "9999-0001"});
        addQuartileRows(2, {"1000-0001", "", "1000-0006"});
        addQuartileRows(3, {"1000-0002", "1000-000X"});
        addQuartileRows(4, {"10'00-0005", "1000-0002"});
    }
    std::vector<std::string> quartileFilters() {
        std::vector<std::string> filters;
        for (const RecordSet& q : window().database().quartiles)
            filters.push_back(q.filter() + (q.filtered() ? " (on)" : " (off)"));
        return filters;
    }
};

TEST_F(QuartileUpdateTest, SetsTheFirstQuartileListingTheJournal) {
    openAsAdmin();
    watchWalk();
    click("BitBtn7");

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

    EXPECT_EQ(quartileFilters(), (std::vector<std::string>{
                                     "ISSN ='1000-000x' OR ISSN='' (on)",  // last journal, all four
                                     "ISSN ='1000-000x' OR ISSN='' (on)", "ISSN ='1000-000x' OR ISSN='' (on)",
                                     "ISSN ='10''00-0005' OR ISSN='' (on)",  // Eta stopped at JCRQ3
                                 }));
    ASSERT_FALSE(walk.empty());
    for (const WalkSnapshot& step : walk) {
        EXPECT_EQ(step.journalFilter, "");
        EXPECT_TRUE(step.journalFiltered);
    }

    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->maximum(), 7);
    EXPECT_EQ(progressBar()->value(), 7);  // full once the last journal is reached
    EXPECT_EQ(text("Label7"), "7");
    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_EQ(statusText(), "Quartiles: 5 of the 7 journals shown were updated");  // all but Gamma and Delta
}

TEST_F(QuartileUpdateTest, WalksTheJournalsShownAtTheClick) {
    openWindow();
    activateWindow();
    retype("ComboBox1", "Chemistry");
    enterAdminMode();
    click("BitBtn7");

    EXPECT_EQ(storedQuartile("O'Hara"), "'Q4'");
    EXPECT_EQ(storedQuartile("Alpha"), "''");
    EXPECT_EQ(storedQuartile("Beta"), "'Q1'");
    EXPECT_EQ(progressBar()->maximum(), 3);
    EXPECT_EQ(journals().filter(), "category='Chemistry'");
    EXPECT_EQ(text("Label7"), "3");
}

TEST_F(QuartileUpdateTest, AnEmptySelectionChangesNothingAndFinishes) {
    openWindow();
    activateWindow();
    retype("ComboBox1", "Astronomy");
    enterAdminMode();
    click("BitBtn7");

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(quartileFilters()[0], " (off)");
}

TEST_F(QuartileUpdateTest, AFailedPostEndsTheRunWhereItHappened) {
    openAsAdmin();
    execSql(databasePath(), "UPDATE journals SET Q = 'Q9' WHERE Title = 'Beta'");
    click("BitBtn7");

    ASSERT_EQ(prompts.errors().size(), 1);
    EXPECT_TRUE(prompts.errors().front().startsWith("Row cannot be located for updating"));
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(storedQuartile("Alpha"), "'Q1'");
    EXPECT_EQ(storedQuartile("Beta"), "'Q9'");
    EXPECT_EQ(storedQuartile("O'Hara"), "''");
    EXPECT_TRUE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 2);
    EXPECT_EQ(journals().state(), RecordSet::State::Browse);
    // Beta was looked up in JCRQ1 to JCRQ3; JCRQ4 was never consulted.
    EXPECT_EQ(quartileFilters(),
              (std::vector<std::string>{"ISSN ='1000-0002' OR ISSN='2000-0002' (on)",
                                        "ISSN ='1000-0002' OR ISSN='2000-0002' (on)",
                                        "ISSN ='1000-0002' OR ISSN='2000-0002' (on)", " (off)"}));
}

// A quartile table whose ISSN is a number rejects the quartile filter: the walk goes table by table
// and fails exactly where that filter is first set.
TEST_F(QuartileUpdateTest, AFilterTheTableRejectsEndsTheRunAtThatTable) {
    execSql(databasePath(),
            "DROP TABLE JCRQ4; CREATE TABLE JCRQ4 (\"Journal Title\" TEXT(255), ISSN INTEGER);"
            "INSERT INTO JCRQ4 VALUES ('T', 12345678);");
    openAsAdmin();
    watchWalk();
    click("BitBtn7");

    EXPECT_EQ(prompts.errors(),
              QStringList{"Arguments are of the wrong type, are out of acceptable range, or are "
                          "in conflict with one another."});
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(storedQuartile("Alpha"), "'Q1'");
    EXPECT_EQ(storedQuartile("Beta"), "'Q3'");
    EXPECT_EQ(storedQuartile("Gamma"), "'Q2'");
    EXPECT_TRUE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 3);
    // Gamma, in none of the first three tables, was the first journal to reach JCRQ4.
    const std::string gamma = "ISSN ='1000-0003' OR ISSN='2000-0003'";
    EXPECT_EQ(quartileFilters(), (std::vector<std::string>{gamma + " (on)", gamma + " (on)", gamma + " (on)",
                                                           gamma + " (off)"}));
    // When the bar reaches the second journal, the tables hold the first journal's filter.
    ASSERT_FALSE(walk.empty());
    ASSERT_EQ(walk[0].position, 2);
    EXPECT_EQ(walk[0].quartileFilters,
              (std::vector<std::string>{"ISSN ='1000-0001' OR ISSN='2000-0001'", "", "", ""}));
}

TEST_F(RankingWindowTest, TheProgressBarRepaintsWhenItsDrawingChangesNotOnEveryStep) {
    constexpr int kJournalCount = 3000;
    std::vector<std::string> issns;
    std::vector<TestJournal> journals;
    issns.reserve(kJournalCount);
    journals.reserve(kJournalCount);
    for (int i = 0; i < kJournalCount; ++i) issns.push_back("1000-" + std::to_string(10000 + i));
    for (int i = 0; i < kJournalCount; ++i)
        journals.push_back({"Journal", "Physics", "Optics", "Monthly", issns[i].c_str(), "", "", "", 1});
    createLibrary(journals);
    openAsAdmin();
    const auto* stepper = progressBar()->findChild<ProgressStepper*>();
    ASSERT_NE(stepper, nullptr);
    const int repaintsBefore = stepper->repaints();
    watchWalk();
    click("BitBtn7");

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    ASSERT_FALSE(walk.empty());
    EXPECT_EQ(walk.back().position, kJournalCount);
    // One paint at the start and one with each position the bar was handed: a position is handed
    // only when the drawing changes. The filled length takes each of its values once, the
    // percentage adds at most a hundred changes of its own.
    const auto handed = static_cast<int>(walk.size());
    EXPECT_EQ(stepper->repaints() - repaintsBefore, handed + 1);
    EXPECT_GE(handed, progressBar()->width());
    EXPECT_LE(handed, progressBar()->width() + 100);
}

}  // namespace
}  // namespace lumaref::test
