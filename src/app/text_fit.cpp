#include "app/text_fit.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <algorithm>

namespace lumaref {

namespace {

// The room a button's style leaves its text (and icon) inside the button.
int textRoom(const QAbstractButton* button, QStyle::SubElement contents) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return button->style()->subElementRect(contents, &option, button).width();
}

int textWidth(const QWidget* control, const QString& text) {
    return control->fontMetrics().horizontalAdvance(text);
}

bool isPanelFrame(const QWidget* widget) { return widget->metaObject() == &QFrame::staticMetaObject; }

// The span [left, right] a control may take on its row: up to the controls beside it that it overlaps
// vertically, within the window. Panel frames lie under the controls and do not count.
std::pair<int, int> freeSpan(const QWidget* control) {
    const QWidget* window = control->parentWidget();
    const QRect place = control->geometry();
    int left = 0;
    int right = window->width() - 1;
    for (const QObject* object : window->children()) {
        const auto* other = qobject_cast<const QWidget*>(object);
        if (other == nullptr || other == control || other->isHidden() || isPanelFrame(other)) continue;
        const QRect rect = other->geometry();
        if (rect.bottom() < place.top() || rect.top() > place.bottom()) continue;
        if (rect.left() > place.left() && rect.left() <= right) right = rect.left() - 1;
        if (rect.right() < place.left() && rect.right() >= left) left = rect.right() + 1;
    }
    return {left, right};
}

bool growsLeft(const QWidget* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    return label != nullptr && (label->alignment() & Qt::AlignRight) != 0;
}

}  // namespace

int missingTextWidth(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return std::max(0, textWidth(label, label->text()) - label->contentsRect().width());
    }
    if (const auto* radio = qobject_cast<const QRadioButton*>(control)) {
        return std::max(0, textWidth(radio, radio->text()) - textRoom(radio, QStyle::SE_RadioButtonContents));
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        return std::max(
            0, textWidth(button, button->text()) + icon - textRoom(button, QStyle::SE_PushButtonContents));
    }
    return 0;
}

void fitTextsToControls(QWidget* window) {
    for (QObject* object : window->children()) {
        auto* control = qobject_cast<QWidget*>(object);
        if (qobject_cast<QLabel*>(control) == nullptr && qobject_cast<QAbstractButton*>(control) == nullptr)
            continue;
        QRect place = control->geometry();
        place.setWidth(place.width() + missingTextWidth(control));
        const auto [left, right] =
            control->isHidden() ? std::pair(0, window->width() - 1) : freeSpan(control);
        if (growsLeft(control)) place.moveRight(control->geometry().right());
        // Back from whatever lies after it, but not over what lies before it.
        if (place.right() > right) place.moveRight(right);
        if (place.left() < left) place.moveLeft(left);
        if (place != control->geometry()) control->setGeometry(place);
    }
}

}  // namespace lumaref
