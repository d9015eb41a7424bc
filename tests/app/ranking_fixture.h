#pragma once

#include <QProgressBar>

#include <string>
#include <vector>

#include "app/window_fixture.h"

namespace lumaref::test {

// What the window showed each time the progress bar moved during an update.
struct WalkSnapshot {
    int position;
    std::string journalFilter;
    bool journalFiltered;
    std::vector<std::string> quartileFilters;  // JCRQ1..JCRQ4
};

// Window tests of the ranking updates: admin mode, the ranking tables, the journals' stored figures.
class RankingWindowTest : public WindowTest {
protected:
    // Rows of jcr2018, in table order: ISSN, Total Cites, Journal Impact Factor, without self cites.
    struct RankingRow {
        const char* issn;
        const char* totalCites;
        const char* impactFactor;
        const char* withoutSelfCites;
    };
    void addRanking(const std::vector<RankingRow>& rows);
    // Rows of JCRQ1..JCRQ4 (quartile 1..4), in table order.
    void addQuartileRows(int quartile, const std::vector<const char*>& issns);

    // Opens the window, shows it and types the access code under "Admin Mode".
    void openAsAdmin();
    // Records the window's filters each time the progress bar is handed a new position.
    void watchWalk();

    // IF, Total Cites and the impact factor without self cites of a journal, as SQL quote() shows them.
    std::string storedFigures(const char* title);
    std::string storedQuartile(const char* title);

    QProgressBar* progressBar() { return control<QProgressBar>("ProgressBar1"); }

    std::vector<WalkSnapshot> walk;
};

}  // namespace lumaref::test
