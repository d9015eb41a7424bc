#include <QApplication>

#include <csignal>

#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "app/startup_hooks.h"

int main(int argc, char* argv[]) {
    // A write past the file-size limit then fails like one on a full disk and is reported, instead of
    // ending the program with a record still pending.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // The application name captions every message box. No display name is set: X11 would append
    // it to the window caption.
    QApplication::setApplicationName(QStringLiteral("Lumaref"));

    lumaref::MessageBoxPrompts prompts;
    lumaref::TForm1 form(prompts, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    lumaref::installStartupHooks(form);
    form.show();
    return QApplication::exec();
}
