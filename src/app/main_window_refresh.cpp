// Live refresh: what other programs commit reaches the window while it is idle.
#include <QTimer>

#include "app/handler_guard.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"
#include "db/record_set_refresh.h"

namespace lumaref {

namespace {

// Often enough that a change made at another desk shows within a moment; asking costs one tiny
// query (SQLite's data_version, or a round trip to the server).
constexpr int kRefreshIntervalMs = 500;

QString changedStatus(std::size_t journals) {
    return journals == 1 ? QStringLiteral("Updated by another program: 1 journal changed")
                         : QStringLiteral("Updated by another program: %1 journals changed").arg(journals);
}

}  // namespace

void MainWindow::startRefreshTimer() {
    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::onRefreshTimer);
    refreshTimer_->start(kRefreshIntervalMs);
}

// Never in the middle of a job or an edit: a handler that is still running (a box it shows runs the
// event loop) leaves it for the next tick, and so does a record being edited or appended. A failure
// (the server out of reach) waits for the user's next action to be reported.
void MainWindow::onRefreshTimer() {
    if (handlersRunning_ > 0) return;
    std::optional<std::vector<std::size_t>> changed;
    runCatching([this, &changed] {
        const std::array<RecordSet*, 6> recordSets = data_.recordSets();
        changed = refreshRecordSets(data_.connection, recordSets);
    });
    if (!changed || changed->front() == 0) return;
    updateRecordCounters();
    gridModel_->flush();
    showStatus(changedStatus(changed->front()));
}

}  // namespace lumaref
