#include "app/startup_hooks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace lumaref {

namespace {

class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget& window, QString screenshot)
        : QObject(&window), window_(window), screenshot_(std::move(screenshot)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // A picture shows the window as a user first sees it: active, the grid holding the focus.
            if (!screenshot_.isEmpty()) window_.activateWindow();
            // Let the paint finish, then take the picture and leave.
            QTimer::singleShot(screenshot_.isEmpty() ? 0 : 300, this, [this] { finish(); });
        }
        return false;
    }

private:
    void finish() {
        int status = 0;
        if (!screenshot_.isEmpty() && !window_.grab().save(screenshot_, "PNG")) {
            std::fprintf(stderr, "cannot save %s\n", qPrintable(screenshot_));
            status = 1;
        }
        QCoreApplication::exit(status);
    }

    QWidget& window_;
    QString screenshot_;
    bool done_ = false;
};

}  // namespace

void installStartupHooks(QWidget& window) {
    const QString screenshot = qEnvironmentVariable("LUMAREF_SCREENSHOT");
    if (screenshot.isEmpty() && !qEnvironmentVariableIsSet("LUMAREF_EXIT_AFTER_SHOW")) return;
    new AfterFirstPaint(window, screenshot);
}

}  // namespace lumaref
