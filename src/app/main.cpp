#include <QApplication>
#include <QIcon>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/hash_code_command.h"
#include "app/journal_database.h"
#include "app/main_window.h"
#include "app/message_box_prompts.h"
#include "app/stop_signals.h"
#include "db/connection_string.h"
#include "db/saved_orders.h"
#include "settings/data_folder.h"
#include "settings/program_options.h"
#include "settings/settings_file.h"
#include "settings/store_choice.h"
#include "text/error.h"
#include "text/stop_request.h"

namespace {

struct DataChoice {
    lumaref::DataLocation location;
    bool installed = false;  // a data folder of its own, not the portable layout
};

// The database and list files this start works on. In the installed layout the data folder is made
// ready first; one that cannot be is one error box, before any window exists to report more.
std::optional<DataChoice> chooseData(const lumaref::ProgramOptions& options, const std::string& programDir,
                                     lumaref::Prompts& prompts) {
    if (lumaref::isPortableLayout(programDir) && !options.dataFolder) {
        return DataChoice{lumaref::portableLocation(programDir), false};
    }
    try {
        const std::string folder = lumaref::chooseDataFolder(options.dataFolder, lumaref::loadSettings());
        lumaref::prepareDataFolder(folder);
        return DataChoice{lumaref::dataFolderLocation(folder), true};
    } catch (const lumaref::Error& error) {
        std::fprintf(stderr, "lumaref: %s\n", error.what());
        prompts.showError(QString::fromStdString(error.what()));
        return std::nullopt;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // A write past the file-size limit then fails like one on a full disk and is reported, instead of
    // ending the program with a record still pending.
    std::signal(SIGXFSZ, SIG_IGN);

    // Read before the toolkit starts, so --help and --version work without a display.
    lumaref::ProgramOptions options;
    try {
        options = lumaref::parseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lumaref::Error& error) {
        std::fprintf(stderr, "lumaref: %s\n\n%s", error.what(), lumaref::programUsage().c_str());
        return 2;
    }
    if (options.mode == lumaref::ProgramOptions::Mode::Help) {
        std::fputs(lumaref::programUsage().c_str(), stdout);
        return 0;
    }
    if (options.mode == lumaref::ProgramOptions::Mode::Version) {
        std::puts("lumaref " LUMAREF_VERSION);
        return 0;
    }
    if (options.mode == lumaref::ProgramOptions::Mode::HashCode) return lumaref::runHashCodeCommand();

    // The toolkit takes its own options from what is left and removes them; anything it leaves is unknown.
    std::vector<char*> toolkitArguments{argv[0]};
    for (std::string& argument : options.toolkitArguments) toolkitArguments.push_back(argument.data());
    int toolkitCount = static_cast<int>(toolkitArguments.size());
    toolkitArguments.push_back(nullptr);
    QApplication application(toolkitCount, toolkitArguments.data());
    if (toolkitCount > 1) {
        std::fprintf(stderr, "lumaref: unknown option '%s'\n\n%s", toolkitArguments[1],
                     lumaref::programUsage().c_str());
        return 2;
    }
    // From here on a stop signal closes whatever is open as the user would, and the database with it.
    const lumaref::StopSignals stopSignals([] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    // The application name captions every message box. No display name is set: X11 would append
    // it to the window caption.
    QApplication::setApplicationName(QStringLiteral("Lumaref"));
    // Ties the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LUMAREF_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(LUMAREF_APP_ID),
                                                 QIcon(QStringLiteral(":/icons/" LUMAREF_APP_ID ".png"))));

    lumaref::MessageBoxPrompts prompts;
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + '/';
    const std::optional<DataChoice> data = chooseData(options, programDir, prompts);
    if (!data) return 1;
    const lumaref::DataLocation& location = data->location;
    // --database or database= in the settings name a PostgreSQL database; else the data folder's
    // Database.mdb. lists= there names a shared list folder.
    lumaref::StoreChoice store;
    lumaref::Settings settings;
    try {
        settings = lumaref::loadSettings();
        store = lumaref::chooseStore(options.database, settings);
    } catch (const lumaref::Error& failure) {
        std::fprintf(stderr, "lumaref: %s\n", failure.what());
        prompts.showError(QString::fromStdString(failure.what()));
        return 1;
    }
    const bool server = store.connectionString != lumaref::kDefaultConnectionString;
    const std::string listFolder = store.listFolder.value_or(location.listFolder);

    lumaref::JournalDatabase database(
        server ? store.connectionString
               : lumaref::connectionStringFor(location.database));  // outlives the window
    database.connectionOrigin = store.origin;
    lumaref::MainWindow window(prompts, database, QString::fromStdString(listFolder));
    window.setAccessCodeHash(settings.accessCode);
    if (data->installed && !server && database.journals.active() &&
        database.journals.snapshot().rowCount() == 0) {
        window.showStatus(QStringLiteral("No journals yet: import a master list in administrator mode, or "
                                         "bring a database across with lumaref-convert into %1")
                              .arg(QString::fromStdString(location.database)));
    }
    // A sort the layout restores is read from the last session's order when the journals are unchanged.
    if (const std::string orders = lumaref::savedOrdersFolder(); !orders.empty())
        database.journals.keepOrdersIn(std::make_shared<const lumaref::SavedOrders>(orders));
    // The user's own layout, in a file of its own beside the settings (never in the settings people edit).
    const QString layoutFile = QString::fromStdString(lumaref::layoutFilePath());
    if (!layoutFile.isEmpty()) window.restoreLayout(layoutFile);
    // A stop asked for while the window was made: it closes before it is shown.
    if (lumaref::stopRequested()) return 0;
    window.show();
    const int status = QApplication::exec();
    if (!layoutFile.isEmpty() && !window.saveLayout(layoutFile)) {
        std::fprintf(stderr, "lumaref: the window's layout could not be saved in %s\n",
                     layoutFile.toLocal8Bit().constData());
    }
    return status;
}
