#pragma once

namespace lumaref {

// The steps of a ranking update that belong to the window, called at their place in the update's
// order: so an error leaves the window exactly where the update stopped.
class UpdateSteps {
public:
    virtual ~UpdateSteps() = default;
    // Show the progress bar with the range 1..maximum, its step 1 and its position 0.
    virtual void showProgress(int maximum) = 0;
    // One journal reached: the bar's position advances by its step.
    virtual void advanceProgress() = 0;
    virtual void hideProgress() = 0;
    // Narrow the journals again by the window's current selection, so updated rows show or drop out.
    virtual void applySelectionFilter() = 0;
};

// For a caller without a window (a batch run, a benchmark): the steps do nothing.
class NoWindow : public UpdateSteps {
public:
    void showProgress(int) override {}
    void advanceProgress() override {}
    void hideProgress() override {}
    void applySelectionFilter() override {}
};

// What an update did, for the caller's report and the tests.
struct UpdateCounts {
    int walked = 0;  // journals reached by the walk
    int posted = 0;  // journals edited and posted
};

}  // namespace lumaref
