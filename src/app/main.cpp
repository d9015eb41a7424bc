#include <QApplication>

#include <csignal>
#include <string>
#include <vector>

#include "app/journal_database.h"
#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "settings/store_choice.h"
#include "text/error.h"

int main(int argc, char* argv[]) {
    // A write past the file-size limit then fails like one on a full disk and is reported, instead of
    // ending the program with a record still pending.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // The application name captions every message box. No display name is set: X11 would append
    // it to the window caption.
    QApplication::setApplicationName(QStringLiteral("Lumaref"));

    lumaref::MessageBoxPrompts prompts;
    // --database or database= in the settings name a PostgreSQL database; else Database.mdb as always.
    lumaref::StoreChoice choice;
    try {
        std::vector<std::string> arguments;
        for (const QString& argument : QCoreApplication::arguments())
            arguments.push_back(argument.toStdString());
        choice = lumaref::chooseStore(lumaref::databaseArgument(arguments), lumaref::loadSettings());
    } catch (const lumaref::Error& failure) {
        prompts.showError(QString::fromStdString(failure.what()));
        return 1;
    }
    const QString listsParent = choice.listsParent
                                    ? QString::fromStdString(*choice.listsParent)
                                    : QCoreApplication::applicationDirPath() + QLatin1Char('/');
    lumaref::JournalDatabase database(choice.connectionString);  // outlives the window
    lumaref::MainWindow window(prompts, database, listsParent);
    window.show();
    return QApplication::exec();
}
