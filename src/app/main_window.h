#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
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

namespace lumaref {

class JournalGrid;
class JournalGridModel;
class ProgressStepper;

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

    // Runs a handler; an error ends it and shows in an error box once the grid is up to date.
    void guarded(const std::function<void()>& handler);

    // Start-up and the window's own keys.
    void onCreated();
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

    // Text exchange.
    void onBrowseClicked();
    void onImportClicked();
    void importCsvMasterList(const std::string& text);
    void onSaveClicked();

    // Pick-list rebuild.
    void onUpdateCategoriesClicked();
    void applyCategories(const std::vector<std::string>& categories);
    void onUpdateFrequenciesClicked();
    void onUpdateListsClicked();

    // Ranking updates.
    void onUpdateImpactFactorsClicked();
    void onUpdateQuartilesClicked();

    Prompts& prompts_;
    // Declared before the grid and its model, which read the journals, so it outlives them.
    std::unique_ptr<JournalDatabase> ownDatabase_;  // only when built over a database of its own
    JournalDatabase& data_;
    std::string listFolder_;

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

    int gridColumn_ = 0;          // the grid's selected column, kept across filter changes
    bool showingCursor_ = false;  // the program, not the user, is moving the grid's current cell

    // Text exchange: the classifier's flags live as long as the window; the dialogs propose the last choice.
    ImportLineClassifier importClassifier_;
    QString lastImportFile_;
    QString lastExportFile_;

    // The grid and its model read the journals. Held here rather than left to Qt, and declared last,
    // so they go before anything they read.
    std::unique_ptr<JournalGridModel> gridModel_;
    std::unique_ptr<JournalGrid> grid_;
};

}  // namespace lumaref
