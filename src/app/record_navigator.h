#pragma once

#include <QWidget>

namespace lumaref {

// The record navigator: first, prior, next and last, side by side. It only reports which button
// was pressed; the window moves the record set.
class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last };

    explicit RecordNavigator(QWidget* parent = nullptr);

signals:
    void buttonClicked(lumaref::RecordNavigator::Button button);
};

}  // namespace lumaref
