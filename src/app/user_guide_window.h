#pragma once

#include <QTextBrowser>

namespace lumaref {

// The user guide in a window of its own, read from its Markdown file with the pictures beside it.
class UserGuideWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget* parent = nullptr);

    // Shows the guide in `file` and brings the window to the front.
    void showGuide(const QString& file);
};

}  // namespace lumaref
