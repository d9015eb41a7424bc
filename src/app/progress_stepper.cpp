#include "app/progress_stepper.h"

#include <QEvent>
#include <QProgressBar>

namespace lumaref {

ProgressStepper::ProgressStepper(QProgressBar* bar) : bar_(bar) { bar_->installEventFilter(this); }

ProgressStepper::~ProgressStepper() {
    bar_->removeEventFilter(this);
    if (started_) sync();
}

void ProgressStepper::start(int maximum) {
    bar_->show();
    minimum_ = 1;
    maximum_ = maximum;
    bar_->setRange(minimum_, maximum_);
    bar_->reset();  // below the minimum: drawn empty
    position_ = bar_->value();
    width_ = bar_->width();
    drawn_ = drawnAt(position_);
    started_ = true;
    bar_->repaint();
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
    const int before = paints_;
    bar_->setValue(position_);
    // The bar paints itself on some changes; the others it would only schedule, for an event loop
    // that does not run until the loop ends.
    if (paints_ == before && bar_->isVisible()) bar_->repaint();
}

void ProgressStepper::sync() {
    if (bar_->value() != position_) bar_->setValue(position_);
}

bool ProgressStepper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && event->type() == QEvent::Paint) ++paints_;
    return QObject::eventFilter(watched, event);
}

}  // namespace lumaref
