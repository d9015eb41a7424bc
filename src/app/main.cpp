#include <QApplication>

#include <csignal>

#include "app/journal_database.h"
#include "app/main_window.h"
#include "app/message_box_prompts.h"

int main(int argc, char* argv[]) {
    // A write past the file-size limit then fails like one on a full disk and is reported, instead of
    // ending the program with a record still pending.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // The application name captions every message box. No display name is set: X11 would append
    // it to the window caption.
    QApplication::setApplicationName(QStringLiteral("Lumaref"));

    lumaref::MessageBoxPrompts prompts;
    lumaref::JournalDatabase database;  // Database.mdb in the current directory; outlives the window
    lumaref::MainWindow window(prompts, database, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    window.show();
    return QApplication::exec();
}
