#include "app/user_guide_window.h"

#include <QUrl>

namespace lumaref {

UserGuideWindow::UserGuideWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlags(Qt::Window);
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(QStringLiteral("Lumaref user guide"));
    setOpenExternalLinks(true);
    resize(860, 720);
}

void UserGuideWindow::showGuide(const QString& file) {
    // Relative picture paths are read beside the guide.
    setSource(QUrl::fromLocalFile(file), QTextDocument::MarkdownResource);
    show();
    raise();
    activateWindow();
}

}  // namespace lumaref
