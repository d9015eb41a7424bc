#pragma once

#include <QRadioButton>

namespace lumaref {

// A radio button that takes a click anywhere inside its bounds, as the platform's own buttons
// did, not only on its mark and caption.
class IndexRadioButton : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace lumaref
