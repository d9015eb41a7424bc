#include "app/ranking_fixture.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

// index: 1 SCI, 2 SCIE, 3 ESCI, 4 AHCI. The figures before the update are IF alone ("0.x").
const std::vector<TestJournal> kJournals = {
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

class ImpactFactorUpdateTest : public RankingWindowTest {
protected:
    void SetUp() override {
        createLibrary(kJournals);
        addRanking({
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
    }
};

struct Expected {
    const char* title;
    const char* figures;  // IF, Total Cites, without self cites, as quote() shows them
};

TEST_F(ImpactFactorUpdateTest, CopiesTheFirstMatchingRowIntoEveryJournalOutsideEmergingSources) {
    openAsAdmin();
    watchWalk();
    click("BitBtn3");

    const Expected expected[] = {
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
    for (const Expected& e : expected) EXPECT_EQ(storedFigures(e.title), e.figures) << e.title;

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    // Alpha, Beta, Delta, Epsilon and Theta of the ten shown.
    EXPECT_EQ(statusText(), "Impact factors: 5 of the 10 journals shown were updated");
    EXPECT_TRUE(prompts.errors().isEmpty());
    // The bar counted the whole selection at the click, and was hidden before reaching its end.
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->minimum(), 1);
    EXPECT_EQ(progressBar()->maximum(), 10);
    EXPECT_EQ(progressBar()->value(), 9);
    // During the walk: the selection filter with the exclusion; afterwards the selection alone.
    ASSERT_FALSE(walk.empty());
    for (const WalkSnapshot& step : walk) {
        EXPECT_EQ(step.journalFilter, "[Emerging Sources Citation Index] <> True");
        EXPECT_TRUE(step.journalFiltered);
    }
    EXPECT_EQ(journals().filter(), "");
    EXPECT_TRUE(journals().filtered());
    EXPECT_EQ(text("Label7"), "10");
    EXPECT_EQ(gridRows(), 10);
    EXPECT_FALSE(window().database().impactFactors.filtered());
}

TEST_F(ImpactFactorUpdateTest, WalksOnlyTheSelection) {
    openWindow();
    activateWindow();
    retype("ComboBox1", "Physics");
    click("RadioButton1");
    enterAdminMode();
    watchWalk();
    click("BitBtn3");

    ASSERT_FALSE(walk.empty());
    EXPECT_EQ(walk.front().journalFilter,
              "category='Physics' AND [Science Citation Index] = True AND "
              "[Emerging Sources Citation Index] <> True");
    EXPECT_EQ(storedFigures("Alpha"), "'1.1' '100' '1.0'");
    EXPECT_EQ(storedFigures("Delta"), "'4.4' '400' '4.0'");
    EXPECT_EQ(storedFigures("Theta"), "'' '' ''");
    EXPECT_EQ(storedFigures("Beta"), "'0.2' NULL NULL");  // Physics, but not SCI
    EXPECT_EQ(storedFigures("Epsilon"), "'0.5' NULL NULL");
    EXPECT_EQ(progressBar()->maximum(), 3);
    EXPECT_EQ(progressBar()->value(), 3);
    EXPECT_EQ(journals().filter(), "category='Physics' AND [Science Citation Index] = True");
    EXPECT_EQ(text("Label7"), "3");
    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
}

TEST_F(ImpactFactorUpdateTest, AnEmptySelectionChangesNothingAndFinishes) {
    openWindow();
    activateWindow();
    retype("ComboBox1", "Astronomy");
    enterAdminMode();
    ASSERT_EQ(text("Label7"), "0");
    click("BitBtn3");

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(journals().filter(), "category='Astronomy'");
    EXPECT_EQ(storedFigures("Alpha"), "'0.1' NULL NULL");
}

TEST_F(ImpactFactorUpdateTest, AFailedPostEndsTheRunWhereItHappened) {
    openAsAdmin();
    // Another program changes Delta after it was read: its post must fail, not overwrite.
    execSql(databasePath(), "UPDATE journals SET IF = 'elsewhere' WHERE Title = 'Delta'");
    watchWalk();
    click("BitBtn3");

    ASSERT_EQ(prompts.errors().size(), 1);
    EXPECT_TRUE(prompts.errors().front().startsWith("Row cannot be located for updating"));
    EXPECT_TRUE(prompts.messages().isEmpty());
    // Posted before the failure: kept. The failing journal and those after it: untouched.
    EXPECT_EQ(storedFigures("Alpha"), "'1.1' '100' '1.0'");
    EXPECT_EQ(storedFigures("Beta"), "'2.2' '200' '2.0'");
    EXPECT_EQ(storedFigures("Delta"), "'elsewhere' NULL NULL");
    EXPECT_EQ(storedFigures("Epsilon"), "'0.5' NULL NULL");
    // The bar stays where the walk stopped; the filter stays the one of the walk.
    EXPECT_TRUE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 3);
    EXPECT_EQ(journals().filter(), "[Emerging Sources Citation Index] <> True");
    EXPECT_EQ(journals().state(), RecordSet::State::Browse);
    // Nothing half-copied waits to be posted by the next move.
    click("nbFirst");
    EXPECT_EQ(prompts.errors().size(), 1);
    EXPECT_EQ(storedFigures("Delta"), "'elsewhere' NULL NULL");
}

TEST_F(ImpactFactorUpdateTest, AFieldMissingFromTheRankingTableFailsAtTheFirstMatch) {
    execSql(databasePath(),
            "ALTER TABLE jcr2018 RENAME COLUMN \"Total Cites\" TO Cites;"
            "UPDATE jcr2018 SET ISSN = 'none' WHERE ISSN = '1000-0001';");
    openAsAdmin();
    click("BitBtn3");

    EXPECT_EQ(prompts.errors(), QStringList{"ADOQuery2: Field 'Total Cites' not found."});
    EXPECT_TRUE(prompts.messages().isEmpty());
    // Alpha no longer matches; Beta is the first match and keeps its figures whole.
    EXPECT_EQ(storedFigures("Beta"), "'0.2' NULL NULL");
    EXPECT_EQ(journals().state(), RecordSet::State::Browse);
    EXPECT_TRUE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 2);
}

}  // namespace
}  // namespace lumaref::test
