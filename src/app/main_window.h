#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/journal_database.h"
#include "app/prompts.h"
#include "app/record_navigator.h"
#include "exchange/import_line_classifier.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

namespace lumaref {

struct MasterListCsv;
class JournalGrid;
class JournalGridModel;
class PickLists;
class ProgressStepper;
struct ViewDescription;
class UserGuideWindow;

// The one window of the program. Its controls are members named for what they do; each carries the
// design's component name as its objectName (the layout table in main_window_layout.cpp holds the
// pairs). Handlers run behind one guard that turns an error into an error box.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Builds every control, opens the connection and the six record sets of `database`, reporting
    // each failure, then runs the start-up handler. List files are found in listFolder.
    MainWindow(Prompts& prompts, JournalDatabase& database, const QString& listFolder,
               QWidget* parent = nullptr);
    // The same over a database of its own: Database.mdb in the current directory. Outside automation
    // builds the window this way.
    MainWindow(Prompts& prompts, const QString& listFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    const JournalDatabase& database() const { return data_; }
    // Shows a line in the status bar until the next one replaces it.
    void showStatus(const QString& text);
    // The access code set in /etc/lumaref.conf, as its salted hash; without one the program's own.
    void setAccessCodeHash(std::optional<std::string> hash) { accessCodeHash_ = std::move(hash); }

    // The user's own layout (window place, columns, sort) as saveLayout left it in `file`. A file that
    // is damaged or from another version is ignored with one line in the status bar.
    void restoreLayout(const QString& file);
    // Remembers the layout in `file`. The designed layout needs no file: an old one is removed. False
    // when the file cannot be written or removed.
    bool saveLayout(const QString& file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MainWindow(Prompts& prompts, std::unique_ptr<JournalDatabase> ownDatabase, JournalDatabase* database,
               const QString& listFolder, QWidget* parent);

    void buildControls();
    void setUpIndexButtons();
    void setTabOrderChain();
    void wireEvents();
    void openDatabase();
    // Replaces a pick list's items. The program changes the text only on purpose: a load keeps it, a
    // rebuild from the journals clears it. The box's change handler follows the user only, so it
    // does not run.
    enum class PickListText { Keep, Clear };
    void loadPickList(QComboBox* box, const std::vector<std::string>& items,
                      PickListText text = PickListText::Keep);
    // The administrator controls, in the order the gate sets them.
    std::array<QWidget*, 11> adminControls() const;

    // Runs a handler; an error ends it and shows in an error box once the grid is up to date. A server
    // connection that broke, or never came up, is tried again first.
    void guarded(const std::function<void()>& handler);

    // The connection to a server (main_window_connection.cpp): at start one message when it cannot be
    // reached, then a new try at each action, with a short back-off; the record sets reopen on it.
    bool openServer();
    void reconnectIfNeeded(bool forJob);
    void reopenRecordSets();
    // The status bar's note of the database the window is on, and whether its account may only read.
    void showDatabasePlace();
    // Before an administrator job: refused for an account that may only read, or without a server.
    void startAdminJob();
    // The journals are on a server that has not answered yet: browsing has nothing to show, and what
    // needs the journals says why.
    bool journalsAway() const;
    [[noreturn]] void refuseWhileAway() const;
    // A job's error: a lost connection becomes one message of what was done (`doneText`) and what to do.
    [[noreturn]] void endJobOnLostConnection(const QString& doneText, const QString& advice);

    // Start-up and the window's own keys.
    void onCreated();
    // The category and frequency pick lists, from files or the server.
    void loadPickLists();
    void onWindowKeyPress(const QString& key);

    // Browsing: the selection, the field search with the administrator gate, and the pick lists.
    void applySelectionFilter();
    void onSearchTextChanged();
    void onSearchFieldChanged();
    void onCategoryChanged();
    void onSelectionBoxKeyPress(const QString& key, QWidget* next);

    // Grid and navigator: one cursor shared with the journals, and the record counters.
    void updateRecordCounters();
    void onGridCurrentChanged(const QModelIndex& current);
    void showGridCursor(int position);
    void onNavigatorClicked(RecordNavigator::Button button);

    // The user's view beyond the design: sorting, the columns' layout, the keys and the user guide.
    void onSortClicked(int column, Qt::SortOrder order);
    void onResetLayoutClicked();
    void setUpKeys();
    void openUserGuide();

    // Text exchange.
    void onBrowseClicked();
    void onImportClicked();
    void importCsvMasterList(const std::string& text);
    QString clearIndexFlagsOfJournalsNotIn(const MasterListCsv& list, std::string_view indexField);
    void importRankingFile(const std::string& text);
    void onSaveClicked();

    // View export: "Export view…" in the grid's context menu and on Ctrl+E.
    void setUpViewExport();
    ViewDescription describeView() const;
    void onExportViewTriggered();

    // Pick-list rebuild.
    void onUpdateCategoriesClicked();
    void applyCategories(const std::vector<std::string>& categories);
    void onUpdateFrequenciesClicked();
    void onUpdateListsClicked();

    // Ranking updates.
    void onUpdateImpactFactorsClicked();
    void onUpdateQuartilesClicked();

    // What other programs commit, taken in on a timer while no handler runs and no row is being edited.
    void startRefreshTimer();
    void onRefreshTimer();

    Prompts& prompts_;
    // Declared before the grid and its model, which read the journals, so it outlives them.
    std::unique_ptr<JournalDatabase> ownDatabase_;  // only when built over a database of its own
    JournalDatabase& data_;
    std::string listFolder_;
    std::unique_ptr<PickLists> pickLists_;  // the list files of listFolder_, or the server's table

    // Import panel (all administrator controls but its frame).
    QFrame* importPanel_ = nullptr;
    QLabel* importFileLabel_ = nullptr;
    QLineEdit* importFileEdit_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QLabel* importCategoryLabel_ = nullptr;
    QLineEdit* importCategoryEdit_ = nullptr;
    QLabel* importSubjectLabel_ = nullptr;
    QLineEdit* importSubjectEdit_ = nullptr;
    QPushButton* importButton_ = nullptr;

    // Selection panel.
    QFrame* selectionPanel_ = nullptr;
    QLabel* selectionLabel_ = nullptr;
    QComboBox* categoryBox_ = nullptr;
    QLabel* categoryLabel_ = nullptr;
    QComboBox* subjectBox_ = nullptr;
    QLabel* subjectLabel_ = nullptr;
    QComboBox* frequencyBox_ = nullptr;
    QLabel* frequencyLabel_ = nullptr;
    QPushButton* updateListsButton_ = nullptr;
    QPushButton* updateCategoriesButton_ = nullptr;   // hidden; run by "Update lists"
    QPushButton* updateFrequenciesButton_ = nullptr;  // hidden; run by "Update lists"
    std::array<QRadioButton*, 5> indexButtons_{};     // the four citation indexes, then "All"

    // Search bar.
    RecordNavigator* navigator_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QLabel* searchFieldLabel_ = nullptr;
    QComboBox* searchFieldBox_ = nullptr;
    QLabel* searchTextLabel_ = nullptr;
    QLineEdit* searchEdit_ = nullptr;

    // Footer.
    QLabel* recordCountCaption_ = nullptr;
    QLabel* recordCountLabel_ = nullptr;
    QLabel* currentRecordCaption_ = nullptr;
    QLabel* currentRecordLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    ProgressStepper* progressStepper_ = nullptr;  // a child of the bar
    QPushButton* updateQuartilesButton_ = nullptr;
    QPushButton* updateImpactFactorsButton_ = nullptr;
    QStatusBar* statusBar_ = nullptr;

    QPoint designedPosition_;               // where the design puts the window
    UserGuideWindow* userGuide_ = nullptr;  // made at the first F1
    QTimer* refreshTimer_ = nullptr;
    bool pickListsLoaded_ = false;  // a server away at start gives them at the reconnection
    int handlersRunning_ = 0;       // a job or a dialog of a handler is under way: no refresh now

    int gridColumn_ = 0;          // the grid's selected column, kept across filter changes
    bool showingCursor_ = false;  // the program, not the user, is moving the grid's current cell

    // The server connection: whether this account may change the journals, when to try again, why
    // the last try failed, and whether this action has tried already.
    bool accountMayChange_ = true;
    std::chrono::steady_clock::time_point nextReconnect_{};
    std::optional<QString> unreachable_;
    bool triedThisAction_ = false;
    bool startedUp_ = false;
    std::optional<std::string> accessCodeHash_;
    QLabel* databaseLabel_ = nullptr;  // in the status bar, right

    // Text exchange: the classifier's flags live as long as the window; the dialogs propose the last choice.
    ImportLineClassifier importClassifier_;
    QString lastImportFile_;
    QString lastExportFile_;
    QString lastViewExportFile_;

    // The grid and its model read the journals. Held here rather than left to Qt, and declared last,
    // so they go before anything they read.
    std::unique_ptr<JournalGridModel> gridModel_;
    std::unique_ptr<JournalGrid> grid_;
};

}  // namespace lumaref
