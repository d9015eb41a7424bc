#include "app/record_navigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace lumaref {

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent) {
    struct ButtonSetup {
        const char* name;
        Button button;
        QStyle::StandardPixmap icon;
        const char* tip;
    };
    static constexpr ButtonSetup kButtons[4] = {
        {"nbFirst", Button::First, QStyle::SP_MediaSkipBackward, "First record"},
        {"nbPrior", Button::Prior, QStyle::SP_ArrowLeft, "Prior record"},
        {"nbNext", Button::Next, QStyle::SP_ArrowRight, "Next record"},
        {"nbLast", Button::Last, QStyle::SP_MediaSkipForward, "Last record"},
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setIcon(style()->standardIcon(kButtons[i].icon));
        button->setToolTip(QString::fromLatin1(kButtons[i].tip));
        button->setFocusPolicy(Qt::NoFocus);  // the navigator is no tab stop and leaves the focus where it is
        const Button which = kButtons[i].button;
        connect(button, &QToolButton::clicked, this, [this, which] { emit buttonClicked(which); });
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        row->addWidget(button);
    }
}

}  // namespace lumaref
