// Figures from ranking files: the grid's figure columns, the journal figures pane, its year boxes and
// its filters. Nothing of it shows until the user asks for it.
#include <QAction>
#include <QLabel>

#include <algorithm>

#include "app/figures_pane.h"
#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"
#include "db/schema_names.h"
#include "db/store_transaction.h"

namespace lumaref {

namespace {

LoadedSources readLoadedSources(Connection& connection) {
    LoadedSources loaded;
    inStoreTransaction(connection, [&loaded](StoreTransaction& store) { loaded = loadedSources(store); });
    return loaded;
}

}  // namespace

void MainWindow::setUpFigures() {
    grid_->setFigureColumnsOffered([this] { return offeredFigureColumns(); });
    connect(grid_.get(), &JournalGrid::figureColumnChosen, this,
            [this](const QString& title) { guarded([this, title] { chooseFigureColumn(title); }); });

    // On the window's key, and in the titles' menu once figures are loaded: the grid's context menu and
    // the designed controls stay as they are.
    auto* action = new QAction(QStringLiteral("Journal figures…"), this);
    action->setObjectName(QStringLiteral("FiguresAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(action);
    grid_->setFiguresAction(action);
    connect(action, &QAction::triggered, this, [this] { guarded([this] { showFiguresPane(); }); });

    connect(figuresPane_, &FiguresPane::yearsChanged, this,
            [this] { guarded([this] { refreshFigures(); }); });
    connect(figuresPane_, &FiguresPane::filterChanged, this, [this] {
        guarded([this] {
            applyFigureFilter();
            updateRecordCounters();
        });
    });
    connect(gridModel_.get(), &JournalGridModel::currentRowChanged, this, [this] {
        if (figuresPane_->isVisible()) guarded([this] { fillFiguresPane(); });
    });
}

// The columns of the sources loaded; none while nothing is.
std::vector<QString> MainWindow::offeredFigureColumns() {
    std::vector<QString> titles;
    if (journalsAway()) return titles;
    try {
        const LoadedSources loaded = readLoadedSources(data_.connection);
        for (const FigureColumn& column : figureColumns(loaded.ownLists)) {
            if (loaded.years.contains(column.source)) titles.push_back(QString::fromStdString(column.title));
        }
    } catch (const std::exception&) {
        // A database that cannot be read offers no figures; the designed columns stay.
    }
    return titles;
}

void MainWindow::chooseFigureColumn(const QString& title) {
    const LoadedSources loaded = readLoadedSources(data_.connection);
    std::vector<FigureColumn> columns;
    if (gridModel_->figureValues() != nullptr) columns = gridModel_->figureValues()->columns();
    for (const FigureColumn& column : figureColumns(loaded.ownLists)) {
        if (column.title == title.toStdString()) columns.push_back(column);
    }
    std::shared_ptr<const FigureColumnValues> values;
    inStoreTransaction(data_.connection, [&](StoreTransaction& store) {
        values = std::make_shared<const FigureColumnValues>(
            FigureColumnValues::read(store, columns, figuresPane_->chosenYears()));
    });
    gridModel_->setFigureColumns(values);
}

void MainWindow::refreshFigures() {
    figuresPane_->setSources(readLoadedSources(data_.connection));
    if (const std::shared_ptr<const FigureColumnValues>& shown = gridModel_->figureValues()) {
        std::shared_ptr<const FigureColumnValues> values;
        inStoreTransaction(data_.connection, [&](StoreTransaction& store) {
            values = std::make_shared<const FigureColumnValues>(
                FigureColumnValues::read(store, shown->columns(), figuresPane_->chosenYears()));
        });
        gridModel_->setFigureColumns(values);
        // A sort by a figure column orders by the figures now shown.
        if (const auto sort = gridModel_->sortColumn(); sort && gridModel_->figureColumnOf(sort->first))
            gridModel_->sort(sort->first, sort->second);
    }
    applyFigureFilter();
    updateRecordCounters();
    if (figuresPane_->isVisible()) fillFiguresPane();
}

void MainWindow::showFiguresPane() {
    figuresPane_->setSources(readLoadedSources(data_.connection));
    if (!figuresPane_->isVisible()) {
        // Beside the window, where there is room; the window manager has the last word.
        figuresPane_->move(geometry().right() + 8, geometry().top());
    }
    figuresPane_->show();
    figuresPane_->raise();
    fillFiguresPane();
}

void MainWindow::fillFiguresPane() {
    RecordSet& journals = data_.journals;
    if (journalsAway() || journals.currentPosition() < 0) {
        figuresPane_->showJournal(QString(), {});
        return;
    }
    const int position = journals.currentPosition();
    const auto value = [&journals, position](std::string_view field) {
        return std::string(journals.valueAt(position, journals.fieldIndex(field)));
    };
    std::vector<JournalFigure> figures;
    inStoreTransaction(data_.connection, [&](StoreTransaction& store) {
        figures = figuresOfJournal(store, value(kIssnField), value(kEIssnField));
    });
    figuresPane_->showJournal(QString::fromStdString(value(kTitleField)), figures);
}

// The design's selection filter text stays as it is: the rows the figure filters leave out are left
// out beside it.
void MainWindow::applyFigureFilter() {
    RecordSet& journals = data_.journals;
    if (journalsAway()) return;
    const FigureFilter filter = figuresPane_->filter();
    if (!filter.active()) {
        if (journals.rowMasked()) journals.setRowMask(nullptr);
        return;
    }
    std::shared_ptr<const std::vector<bool>> passing;
    inStoreTransaction(data_.connection, [&](StoreTransaction& store) {
        const FigureColumnValues values =
            FigureColumnValues::read(store, filter.columns(), figuresPane_->chosenYears());
        passing = std::make_shared<const std::vector<bool>>(rowsPassing(filter, values, journals.snapshot()));
    });
    journals.setRowMask(passing);
}

}  // namespace lumaref
