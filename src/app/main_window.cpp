// Window creation: controls, the database, event wiring, the start-up handler and the handler guard.
#include "app/main_window.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "app/handler_guard.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "picklists/pick_lists.h"
#include "text/stop_request.h"

namespace lumaref {

MainWindow::MainWindow(Prompts& prompts, JournalDatabase& database, const QString& listFolder,
                       QWidget* parent)
    : MainWindow(prompts, nullptr, &database, listFolder, parent) {}

MainWindow::MainWindow(Prompts& prompts, const QString& listFolder, QWidget* parent)
    : MainWindow(prompts, std::make_unique<JournalDatabase>(), nullptr, listFolder, parent) {}

MainWindow::MainWindow(Prompts& prompts, std::unique_ptr<JournalDatabase> ownDatabase,
                       JournalDatabase* database, const QString& listFolder, QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      ownDatabase_(std::move(ownDatabase)),
      data_(database != nullptr ? *database : *ownDatabase_),
      listFolder_(listFolder.toStdString()) {
    buildControls();
    designedPosition_ = pos();
    wireEvents();
    setUpViewExport();
    openDatabase();
    pickLists_ = pickListsFor(data_.connection, listFolder_);
    guarded([this] { onCreated(); });
    startRefreshTimer();
    // The grid leads the tab order, so it holds the focus once the window is active.
    grid_->setFocus();
    startedUp_ = true;
}

// The members' order is the order of their going: the grid and its model before the database.
MainWindow::~MainWindow() = default;

void MainWindow::showStatus(const QString& text) { statusBar_->showMessage(text); }

void MainWindow::openDatabase() {
    // Each component reports its own failure and stays closed; creation goes on. A record set
    // finding the connection closed tries to connect again, so a missing file is reported by all.
    auto open = [this](const std::function<void()>& openIt) {
        if (std::optional<QString> failure = runCatching(openIt)) prompts_.showError(*failure);
    };
    // A server that cannot be reached is said once; the record sets open when it answers.
    if (data_.connection.isServer()) {
        if (!openServer()) return;
    } else {
        open([this] { data_.connection.open(); });
    }
    for (RecordSet* records : data_.recordSets()) open([records] { records->open(); });
    showDatabasePlace();
    gridModel_->flush();
}

void MainWindow::onCreated() {
    if (!journalsAway()) loadPickLists();
    searchFieldBox_->setCurrentIndex(0);
    applySelectionFilter();
}

void MainWindow::loadPickLists() {
    loadPickList(categoryBox_, pickLists_->categories());
    loadPickList(frequencyBox_, pickLists_->frequencies());
    pickListsLoaded_ = true;
}

void MainWindow::guarded(const std::function<void()>& handler) {
    ++handlersRunning_;
    // Start-up has just tried; from the first action on, each tries again.
    if (startedUp_) {
        triedThisAction_ = false;
        reconnectIfNeeded(false);
    }
    const std::optional<QString> failure = runCatching(handler);
    // The grid shows what the handler left before any box appears over it.
    gridModel_->flush();
    // A job given up at a stop request says nothing: the window is closing.
    if (failure && !stopRequested()) prompts_.showError(*failure);
    --handlersRunning_;
}

void MainWindow::wireEvents() {
    auto run = [this](void (MainWindow::*handler)()) {
        return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
    };
    // A pick list's change handler runs on the user's edits and picks, never on the program's own
    // changes. A subject or a frequency runs the search again, as a change of the search text does.
    const std::pair<QComboBox*, void (MainWindow::*)()> pickLists[] = {
        {categoryBox_, &MainWindow::onCategoryChanged},
        {subjectBox_, &MainWindow::onSearchTextChanged},
        {frequencyBox_, &MainWindow::onSearchTextChanged},
        {searchFieldBox_, &MainWindow::onSearchFieldChanged}};
    for (const auto& [box, handler] : pickLists) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, run(handler));
        connect(box, &QComboBox::activated, this, run(handler));
    }
    for (QComboBox* box : {categoryBox_, subjectBox_, frequencyBox_}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    connect(searchEdit_, &QLineEdit::textChanged, this, run(&MainWindow::onSearchTextChanged));
    for (QRadioButton* button : indexButtons_) {
        connect(button, &QRadioButton::clicked, this, run(&MainWindow::applySelectionFilter));
    }

    const std::pair<QPushButton*, void (MainWindow::*)()> buttons[] = {
        {browseButton_, &MainWindow::onBrowseClicked},
        {importButton_, &MainWindow::onImportClicked},
        {updateImpactFactorsButton_, &MainWindow::onUpdateImpactFactorsClicked},
        {updateCategoriesButton_, &MainWindow::onUpdateCategoriesClicked},
        {updateListsButton_, &MainWindow::onUpdateListsClicked},
        {updateFrequenciesButton_, &MainWindow::onUpdateFrequenciesClicked},
        {updateQuartilesButton_, &MainWindow::onUpdateQuartilesClicked},
        {saveButton_, &MainWindow::onSaveClicked}};
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, run(handler));

    connect(grid_.get(), &JournalGrid::userEvent, this, run(&MainWindow::updateRecordCounters));
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::onGridCurrentChanged);
    connect(gridModel_.get(), &JournalGridModel::currentRowChanged, this, &MainWindow::showGridCursor);
    connect(navigator_, &RecordNavigator::buttonClicked, this, &MainWindow::onNavigatorClicked);
    connect(grid_.get(), &JournalGrid::sortClicked, this, &MainWindow::onSortClicked);
    connect(grid_.get(), &JournalGrid::resetLayoutClicked, this, &MainWindow::onResetLayoutClicked);
    setUpKeys();
}

namespace {

// The character a key event types, as the one-character text a key-press handler receives.
QString typedCharacter(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return QStringLiteral("\r");
    QString text = event->text();
    if (text.isEmpty()) return text;
    return text.left(text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == searchEdit_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier) return false;
        if (key->key() == Qt::Key_Down) {
            grid_->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            searchEdit_->clear();  // the search handler runs on the change
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const std::pair<QComboBox*, QWidget*> enterChain[] = {
            {categoryBox_, subjectBox_}, {subjectBox_, frequencyBox_}, {frequencyBox_, searchEdit_}};
        for (const auto& [box, next] : enterChain) {
            if (watched != box && watched != box->lineEdit()) continue;
            const QString key = typedCharacter(static_cast<QKeyEvent*>(event));
            if (!key.isEmpty()) guarded([this, &key, next = next] { onSelectionBoxKeyPress(key, next); });
            return false;  // the box still handles the key as usual
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Only a character the window receives itself: none of its controls holds the focus.
    QWidget* focused = focusWidget();
    const QString key = typedCharacter(event);
    if ((focused == nullptr || focused == this) && !key.isEmpty()) {
        guarded([this, &key] { onWindowKeyPress(key); });
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::onWindowKeyPress(const QString& key) { setWindowTitle(key); }

}  // namespace lumaref
