// The user's view beyond the design: sorting by a title, the columns' layout remembered between starts,
// the keys of the search and the user guide.
#include <QCoreApplication>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>

#include <algorithm>

#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/layout_file.h"
#include "app/main_window.h"
#include "app/user_guide_window.h"
#include "settings/user_guide.h"
#include "text/error.h"

namespace lumaref {

void MainWindow::onSortClicked(int column, Qt::SortOrder order) {
    guarded([this, column, order] {
        gridModel_->sort(column, order);
        updateRecordCounters();
    });
    // The header shows the order the journals are in, whether the sort was made or not.
    grid_->showSort(gridModel_->sortColumn());
}

void MainWindow::onResetLayoutClicked() {
    guarded([this] {
        data_.journals.setSort(std::nullopt);
        updateRecordCounters();
    });
    gridModel_->setFigureColumns(nullptr);  // the designed columns only
    grid_->showSort(gridModel_->sortColumn());
    grid_->resetColumns();
    move(designedPosition_);
}

void MainWindow::restoreLayout(const QString& file) {
    QString problem;
    const std::optional<SavedLayout> layout = readLayoutFile(file, problem);
    if (layout && !layout->geometry.isEmpty() && !restoreGeometry(layout->geometry)) {
        problem =
            QStringLiteral("The saved layout %1 could not be read: the designed layout is shown.").arg(file);
    }
    if (!problem.isEmpty()) {
        showStatus(problem);
        return;
    }
    if (!layout) return;
    // The figure columns the layout names come back first, while their sources are still loaded.
    const std::vector<QString> offered = offeredFigureColumns();
    for (const SavedLayout::Column& column : layout->columns) {
        if (gridModel_->columnOf(column.field.toStdString()) < 0 &&
            std::find(offered.begin(), offered.end(), column.field) != offered.end())
            guarded([this, &column] { chooseFigureColumn(column.field); });
    }
    grid_->applyColumnLayout(layout->columns);
    const int column = gridModel_->columnOf(layout->sortField.toStdString());
    if (column >= 0) onSortClicked(column, layout->sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool MainWindow::saveLayout(const QString& file) {
    const std::optional<std::pair<int, Qt::SortOrder>> sort = gridModel_->sortColumn();
    if (grid_->showsDesignedColumns() && !sort && pos() == designedPosition_) {
        return !QFile::exists(file) || QFile::remove(file);
    }
    SavedLayout layout;
    layout.geometry = saveGeometry();
    layout.columns = grid_->columnLayout();
    if (sort) {
        const std::string_view field = gridModel_->column(sort->first).field;
        layout.sortField = QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size()));
        layout.sortDescending = sort->second == Qt::DescendingOrder;
    }
    return writeLayoutFile(file, layout);
}

// Ctrl+F goes to the search text, Down from there into the grid, Escape in either clears the search;
// F1 opens the user guide. Keys the design gives a meaning keep it.
void MainWindow::setUpKeys() {
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        searchEdit_->setFocus(Qt::ShortcutFocusReason);
        searchEdit_->selectAll();
    });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { guarded([this] { openUserGuide(); }); });
    searchEdit_->installEventFilter(this);
    connect(grid_.get(), &JournalGrid::escapePressed, searchEdit_, &QLineEdit::clear);
}

void MainWindow::openUserGuide() {
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + '/';
    const std::optional<std::string> guide = findUserGuide(programDir);
    if (!guide) {
        throw Error("The user guide is not installed: it belongs in /usr/share/doc/lumaref/user-guide.md");
    }
    if (userGuide_ == nullptr) userGuide_ = new UserGuideWindow(this);
    userGuide_->showGuide(QString::fromStdString(*guide));
}

}  // namespace lumaref
