// The ranking updates: impact factors from jcr2018, quartiles from JCRQ1..JCRQ4.
#include <QProgressBar>

#include "app/main_window.h"
#include "app/progress_stepper.h"
#include "app/status_text.h"
#include "ranking/impact_factor_update.h"
#include "ranking/quartile_update.h"

namespace lumaref {

namespace {

// What an update asks of the window, in the update's own order.
class WindowUpdateSteps : public UpdateSteps {
public:
    WindowUpdateSteps(ProgressStepper& stepper, std::function<void()> applySelectionFilter)
        : stepper_(stepper), applySelectionFilter_(std::move(applySelectionFilter)) {}
    // Also after an update that ended with an error: the bar shows where it stopped.
    ~WindowUpdateSteps() override { stepper_.finish(); }

    void showProgress(int maximum) override { stepper_.start(maximum); }
    void advanceProgress() override { stepper_.step(); }
    void hideProgress() override {
        stepper_.finish();
        stepper_.bar()->hide();
    }
    void applySelectionFilter() override { applySelectionFilter_(); }

private:
    ProgressStepper& stepper_;
    std::function<void()> applySelectionFilter_;
};

}  // namespace

void MainWindow::onUpdateImpactFactorsClicked() {
    startAdminJob();
    WindowUpdateSteps steps(*progressStepper_, [this] { applySelectionFilter(); });
    const int shown = data_.journals.recordCount();  // at the click: the update narrows the selection
    const std::int64_t before = data_.journals.committedPosts();
    UpdateCounts counts;
    try {
        counts = updateImpactFactors(data_.journals, data_.impactFactors, steps);
    } catch (const ConnectionLost&) {
        endJobOnLostConnection(updateStatusText(QStringLiteral("Impact factors"),
                                                data_.journals.committedPosts() - before, shown),
                               QStringLiteral("Run the update again to finish."));
    }
    prompts_.showMessage(QStringLiteral("Finish!"));
    showStatus(updateStatusText(QStringLiteral("Impact factors"), counts.posted, shown));
}

void MainWindow::onUpdateQuartilesClicked() {
    startAdminJob();
    WindowUpdateSteps steps(*progressStepper_, [this] { applySelectionFilter(); });
    const int shown = data_.journals.recordCount();
    const std::int64_t before = data_.journals.committedPosts();
    UpdateCounts counts;
    try {
        counts = updateQuartiles(data_.journals, data_.quartileTables(), steps);
    } catch (const ConnectionLost&) {
        endJobOnLostConnection(
            updateStatusText(QStringLiteral("Quartiles"), data_.journals.committedPosts() - before, shown),
            QStringLiteral("Run the update again to finish."));
    }
    prompts_.showMessage(QStringLiteral("Finish!"));
    showStatus(updateStatusText(QStringLiteral("Quartiles"), counts.posted, shown));
}

}  // namespace lumaref
