#pragma once

#include <QObject>

class QProgressBar;

namespace lumaref {

// Advances a progress bar one step at a time inside a loop that never returns to the event loop.
// The bar is handed its new position and painted at once whenever what it draws changes (the filled
// length in pixels or the percentage), so it moves visibly without a paint per step.
class ProgressStepper : public QObject {
public:
    explicit ProgressStepper(QProgressBar* bar);
    // Leaves the bar on the exact position reached, also when the loop ended with an error.
    ~ProgressStepper() override;

    // Shows the bar with the range 1..maximum, step 1 and position 0 (drawn empty).
    void start(int maximum);
    void step();
    // Hands the bar the position reached, without painting.
    void sync();

    int position() const { return position_; }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Drawn {
        int pixels = 0;
        int percent = 0;
        bool operator==(const Drawn&) const = default;
    };
    Drawn drawnAt(int position) const;

    QProgressBar* bar_;
    int minimum_ = 1;
    int maximum_ = 1;
    int position_ = 0;
    int width_ = 0;
    Drawn drawn_;
    bool started_ = false;
    int paints_ = 0;
};

}  // namespace lumaref
