// The grid and the navigator: one cursor shared with the journals, and the record counters.
#include <QLabel>

#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"

namespace lumaref {

// The user moved the grid's current cell: the journals follow, and a new column is a column enter.
void MainWindow::onGridCurrentChanged(const QModelIndex& current) {
    if (showingCursor_ || !current.isValid()) return;
    guarded([this, row = current.row(), column = current.column()] {
        if (row != data_.journals.currentPosition()) data_.journals.setRecNo(row + 1);
        if (column != gridColumn_) {
            gridColumn_ = column;
            updateRecordCounters();
        }
    });
}

// The journals moved: the grid shows their current row, once per flush however far they went.
void MainWindow::showGridCursor(int position) {
    QItemSelectionModel* selection = grid_->selectionModel();
    showingCursor_ = true;
    if (position < 0 || position >= gridModel_->rowCount()) {
        selection->clear();
    } else {
        const QModelIndex target = gridModel_->index(position, gridColumn_);
        if (grid_->currentIndex() != target) {
            selection->setCurrentIndex(target,
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }
    showingCursor_ = false;
}

void MainWindow::onNavigatorClicked(RecordNavigator::Button button) {
    guarded([this, button] {
        if (journalsAway()) return;
        RecordSet& journals = data_.journals;
        switch (button) {
            case RecordNavigator::Button::First:
                journals.first();
                break;
            case RecordNavigator::Button::Prior:
                journals.prior();
                break;
            case RecordNavigator::Button::Next:
                journals.next();
                break;
            case RecordNavigator::Button::Last:
                journals.last();
                break;
        }
        updateRecordCounters();
    });
}

void MainWindow::updateRecordCounters() {
    if (journalsAway()) return;
    currentRecordLabel_->setText(QString::number(data_.journals.recNo()));
    recordCountLabel_->setText(QString::number(data_.journals.recordCount()));
}

}  // namespace lumaref
