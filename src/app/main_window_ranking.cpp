// The ranking updates: impact factors from jcr2018, quartiles from JCRQ1..JCRQ4.
#include <QProgressBar>

#include "app/main_window.h"
#include "app/progress_stepper.h"
#include "ranking/impact_factor_update.h"
#include "ranking/quartile_update.h"

namespace lumaref {

namespace {

// What an update asks of the window, in the update's own order.
class WindowUpdateSteps : public UpdateSteps {
public:
    WindowUpdateSteps(TForm1& form, QProgressBar* bar) : form_(form), bar_(bar), stepper_(bar) {}

    void showProgress(int maximum) override { stepper_.start(maximum); }
    void advanceProgress() override { stepper_.step(); }
    void hideProgress() override {
        stepper_.sync();
        bar_->hide();
    }
    void applySelectionFilter() override { form_.ApplySelectionFilter(); }

private:
    TForm1& form_;
    QProgressBar* bar_;
    ProgressStepper stepper_;
};

}  // namespace

void TForm1::BitBtn3Click() {
    WindowUpdateSteps steps(*this, ProgressBar1);
    updateImpactFactors(ADOQuery1, ADOQuery2, steps);
    prompts_.showMessage(QStringLiteral("Finish!"));
}

void TForm1::BitBtn7Click() {
    WindowUpdateSteps steps(*this, ProgressBar1);
    updateQuartiles(ADOQuery1, {&ADOQuery3, &ADOQuery4, &ADOQuery5, &ADOQuery6}, steps);
    prompts_.showMessage(QStringLiteral("Finish!"));
}

}  // namespace lumaref
