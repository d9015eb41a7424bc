#include "app/progress_stepper.h"

#include <QProgressBar>

namespace lumaref {

ProgressStepper::ProgressStepper(QProgressBar* bar) : QObject(bar), bar_(bar) {}

// The bar paints some changes itself and only schedules others, for an event loop that does not run
// until the loop ends. Its own painting is held back while it takes the change; then it is painted
// once, here.
template <class Change>
void ProgressStepper::repaintAfter(Change change) {
    bar_->setUpdatesEnabled(false);
    change();
    bar_->setUpdatesEnabled(true);
    bar_->repaint();
    ++repaints_;
}

void ProgressStepper::start(int maximum) {
    bar_->show();
    minimum_ = 1;
    maximum_ = maximum;
    repaintAfter([this] {
        bar_->setRange(minimum_, maximum_);
        bar_->reset();  // below the minimum: drawn empty
    });
    position_ = bar_->value();
    width_ = bar_->width();
    drawn_ = drawnAt(position_);
    running_ = true;
}

ProgressStepper::Drawn ProgressStepper::drawnAt(int position) const {
    if (position < minimum_) return {};
    if (maximum_ <= minimum_) return {width_, 100};
    const long long done = static_cast<long long>(position) - minimum_;
    const long long total = static_cast<long long>(maximum_) - minimum_;
    return {static_cast<int>(done * width_ / total), static_cast<int>(done * 100 / total)};
}

void ProgressStepper::step() {
    ++position_;
    const Drawn now = drawnAt(position_);
    if (now == drawn_) return;
    drawn_ = now;
    repaintAfter([this] { bar_->setValue(position_); });
}

void ProgressStepper::finish() {
    if (!running_) return;
    running_ = false;
    if (bar_->value() != position_) bar_->setValue(position_);
}

}  // namespace lumaref
