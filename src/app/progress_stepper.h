#pragma once

#include <QObject>

class QProgressBar;

namespace lumaref {

// Advances a progress bar one step at a time inside a loop that never returns to the event loop.
// The bar is handed its new position and painted at once whenever what it draws changes (the filled
// length in pixels or the percentage), so it moves visibly without a paint per step. Lives as a child
// of its bar.
class ProgressStepper : public QObject {
    Q_OBJECT
public:
    explicit ProgressStepper(QProgressBar* bar);

    QProgressBar* bar() const { return bar_; }

    // Shows the bar with the range 1..maximum, step 1 and position 0 (drawn empty).
    void start(int maximum);
    void step();
    // Hands the bar the exact position reached, also when the loop ended early. Once per start.
    void finish();

    // How often the stepper has painted the bar: at each start and at each change of its drawing.
    int repaints() const { return repaints_; }

private:
    struct Drawn {
        int pixels = 0;
        int percent = 0;
        bool operator==(const Drawn&) const = default;
    };
    Drawn drawnAt(int position) const;
    template <class Change>
    void repaintAfter(Change change);

    QProgressBar* bar_;
    int minimum_ = 1;
    int maximum_ = 1;
    int position_ = 0;
    int width_ = 0;
    Drawn drawn_;
    bool running_ = false;
    int repaints_ = 0;
};

}  // namespace lumaref
