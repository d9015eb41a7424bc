// The ranking buttons run their update over the journals shown, with the progress bar, the closing
// message and the status line. Which journal takes which figures is the updates' own tests.
#include <QProgressBar>

#include "app/progress_stepper.h"
#include "app/window_fixture.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

// index: 1 SCI, 3 ESCI.
const std::vector<TestJournal> kJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "", "0.1", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "2000-0002", "0.2", "Q4", 1},
    {"Gamma", "Physics", "Optics", "Monthly", "1000-0003", "", "0.3", "", 3},
    {"Delta", "Chemistry", "Organic", "Monthly", "1000-0004", "", "0.4", "", 1},
};

class RankingButtonsTest : public WindowTest {
protected:
    void openLibrary(const std::vector<TestJournal>& journals = kJournals) {
        createLibrary(journals);
        execSql(databasePath(), rankingRowsSql({{"1000-0001", "100", "1.1", "1.0"},
                                                {"2000-0002", "200", "2.2", "2.0"},
                                                {"1000-0004", "400", "4.4", "4.0"}}) +
                                    quartileRowsSql(1, {"1000-0001"}) + quartileRowsSql(2, {"1000-0003"}));
        openWindow();
        activateWindow();
    }
    QProgressBar* progressBar() { return control<QProgressBar>(Role::ProgressBar); }
    std::string stored(const char* field, const char* title) {
        return queryText(databasePath(), std::string("SELECT quote(") + field +
                                             ") FROM journals WHERE Title = " + sqlQuoted(title));
    }
};

TEST_F(RankingButtonsTest, BothButtonsWalkTheSelectionAndReportWhatTheyDid) {
    openLibrary();
    retype(Role::CategoryBox, "Physics");
    enterAdminMode();
    click(Role::UpdateImpactFactorsButton);

    // Alpha and Beta; Gamma is an Emerging Sources journal, Delta is not shown.
    EXPECT_EQ(statusText(), "Impact factors: 2 of the 3 journals shown were updated");
    EXPECT_EQ(stored("IF", "Alpha"), "'1.1'");
    EXPECT_EQ(stored("IF", "Delta"), "'0.4'");
    // The bar counted the journals shown at the click, and was hidden where the walk ended.
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->minimum(), 1);
    EXPECT_EQ(progressBar()->maximum(), 3);
    EXPECT_EQ(progressBar()->value(), 2);
    // The selection is in force again, counted and shown.
    EXPECT_EQ(journals().filter(), "category='Physics'");
    EXPECT_EQ(text(Role::RecordCountLabel), "3");
    EXPECT_EQ(gridRows(), 3);

    click(Role::UpdateQuartilesButton);
    EXPECT_EQ(statusText(), "Quartiles: 2 of the 3 journals shown were updated");  // Alpha and Gamma
    EXPECT_EQ(stored("Q", "Gamma"), "'Q2'");
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 3);  // full once the last journal is reached

    retype(Role::CategoryBox, "Astronomy");  // none shown: nothing is done, and the end is still told
    click(Role::UpdateImpactFactorsButton);
    EXPECT_EQ(prompts.messages(), QStringList({"Finish!", "Finish!", "Finish!"}));
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(RankingButtonsTest, AFailedUpdateShowsItsErrorAndLeavesTheBarWhereItStopped) {
    openLibrary();
    enterAdminMode();
    // Another program changes Beta after it was read: its post must fail, not overwrite.
    execSql(databasePath(), "UPDATE journals SET IF = 'elsewhere' WHERE Title = 'Beta'");
    click(Role::UpdateImpactFactorsButton);

    ASSERT_EQ(prompts.errors().size(), 1);
    EXPECT_TRUE(prompts.errors().front().startsWith("Row cannot be located for updating"));
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_TRUE(progressBar()->isVisible());
    EXPECT_EQ(progressBar()->value(), 2);
}

TEST_F(RankingButtonsTest, TheProgressBarRepaintsWhenItsDrawingChangesNotOnEveryStep) {
    constexpr int kJournalCount = 3000;
    std::vector<std::string> issns;
    std::vector<TestJournal> journals;
    issns.reserve(kJournalCount);
    journals.reserve(kJournalCount);
    for (int i = 0; i < kJournalCount; ++i) issns.push_back("1000-" + std::to_string(10000 + i));
    for (int i = 0; i < kJournalCount; ++i)
        journals.push_back({"Journal", "Physics", "Optics", "Monthly", issns[i].c_str(), "", "", "", 1});
    openLibrary(journals);
    enterAdminMode();
    const auto* stepper = progressBar()->findChild<ProgressStepper*>();
    ASSERT_NE(stepper, nullptr);
    const int repaintsBefore = stepper->repaints();
    std::vector<int> positions;  // each position the bar is handed
    QObject::connect(progressBar(), &QProgressBar::valueChanged, progressBar(),
                     [&positions](int value) { positions.push_back(value); });
    click(Role::UpdateQuartilesButton);

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), kJournalCount);
    // One paint at the start and one with each position the bar was handed: a position is handed
    // only when the drawing changes. The filled length takes each of its values once, the
    // percentage adds at most a hundred changes of its own.
    const auto handed = static_cast<int>(positions.size());
    EXPECT_EQ(stepper->repaints() - repaintsBefore, handed + 1);
    EXPECT_GE(handed, progressBar()->width());
    EXPECT_LE(handed, progressBar()->width() + 100);
}

}  // namespace
}  // namespace lumaref::test
