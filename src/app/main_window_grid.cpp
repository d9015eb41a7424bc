// The grid and the navigator: one cursor shared with ADOQuery1, and the record counters.
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>

#include "app/journal_grid.h"
#include "app/journal_grid_model.h"
#include "app/main_window.h"

namespace lumaref {

void TForm1::wireGridEvents() {
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
    DBGrid1->horizontalHeader()->viewport()->installEventFilter(this);
    DBGrid1->setMouseTracking(true);
    DBGrid1->viewport()->setMouseTracking(true);
    DBGrid1->horizontalHeader()->viewport()->setMouseTracking(true);

    connect(DBGrid1, &QTableView::clicked, this, [this] { guarded([this] { DBGrid1CellClick(); }); });
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this] { guarded([this] { DBGrid1ColumnMoved(); }); });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { gridCurrentChanged(current); });
    connect(DataSource1, &JournalGridModel::currentRowChanged, this, &TForm1::showGridCursor);
    connect(DBNavigator1, &RecordNavigator::buttonClicked, this, &TForm1::navigate);
}

// Keys reach the grid itself, mouse events its viewport and its title row. Nothing is consumed:
// key down runs before the grid moves, key up after.
void TForm1::filterGridEvent(QObject* watched, QEvent* event) {
    const bool onGrid = watched == DBGrid1;
    const bool underMouse =
        watched == DBGrid1->viewport() || watched == DBGrid1->horizontalHeader()->viewport();
    if (!onGrid && !underMouse) return;
    switch (event->type()) {
        case QEvent::KeyPress:
            if (onGrid) {
                guarded([this] { DBGrid1KeyDown(); });
                const QString text = static_cast<QKeyEvent*>(event)->text();
                if (!text.isEmpty()) {
                    QString key = text.left(1);
                    guarded([this, &key] { DBGrid1KeyPress(key); });
                }
            }
            break;
        case QEvent::KeyRelease:
            if (onGrid) guarded([this] { DBGrid1KeyUp(); });
            break;
        case QEvent::FocusIn:
            if (onGrid) guarded([this] { DBGrid1Enter(); });
            break;
        case QEvent::MouseButtonPress:
            if (underMouse) guarded([this] { DBGrid1MouseDown(); });
            break;
        case QEvent::MouseButtonDblClick:
            // The second press of a double click is a mouse-down as well.
            if (underMouse) {
                guarded([this] { DBGrid1MouseDown(); });
                guarded([this] { DBGrid1DblClick(); });
            }
            break;
        case QEvent::MouseButtonRelease:
            if (underMouse) guarded([this] { DBGrid1MouseUp(); });
            break;
        case QEvent::MouseMove:
            if (underMouse) guarded([this] { DBGrid1MouseMove(); });
            break;
        default:
            break;
    }
}

// The user moved the grid's current cell: the record set follows, and a new column is a column enter.
void TForm1::gridCurrentChanged(const QModelIndex& current) {
    if (showingCursor_ || !current.isValid()) return;
    guarded([this, row = current.row(), column = current.column()] {
        if (row != ADOQuery1.currentPosition()) ADOQuery1.setRecNo(row + 1);
        if (column != gridColumn_) {
            gridColumn_ = column;
            DBGrid1ColEnter();
        }
    });
}

// The record set moved: the grid shows its current row, once per flush however far it went.
void TForm1::showGridCursor(int position) {
    QItemSelectionModel* selection = DBGrid1->selectionModel();
    showingCursor_ = true;
    if (position < 0 || position >= DataSource1->rowCount()) {
        selection->clear();
    } else {
        const QModelIndex target = DataSource1->index(position, gridColumn_);
        if (DBGrid1->currentIndex() != target) {
            selection->setCurrentIndex(target,
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }
    showingCursor_ = false;
}

void TForm1::navigate(RecordNavigator::Button button) {
    guarded([this, button] {
        switch (button) {
            case RecordNavigator::Button::First:
                ADOQuery1.first();
                break;
            case RecordNavigator::Button::Prior:
                ADOQuery1.prior();
                break;
            case RecordNavigator::Button::Next:
                ADOQuery1.next();
                break;
            case RecordNavigator::Button::Last:
                ADOQuery1.last();
                break;
        }
        DBNavigator1Click();
    });
}

void TForm1::UpdateRecordCounters() {
    Label10->setText(QString::number(ADOQuery1.recNo()));
    Label7->setText(QString::number(ADOQuery1.recordCount()));
}

void TForm1::DBNavigator1Click() { UpdateRecordCounters(); }
void TForm1::DBGrid1CellClick() { UpdateRecordCounters(); }
void TForm1::DBGrid1ColEnter() { UpdateRecordCounters(); }
void TForm1::DBGrid1ColumnMoved() { UpdateRecordCounters(); }
void TForm1::DBGrid1DblClick() { UpdateRecordCounters(); }
void TForm1::DBGrid1Enter() { UpdateRecordCounters(); }
void TForm1::DBGrid1KeyDown() { UpdateRecordCounters(); }
void TForm1::DBGrid1KeyPress(QString& /*key*/) { UpdateRecordCounters(); }
void TForm1::DBGrid1KeyUp() { UpdateRecordCounters(); }
void TForm1::DBGrid1MouseDown() { UpdateRecordCounters(); }
void TForm1::DBGrid1MouseMove() { UpdateRecordCounters(); }
void TForm1::DBGrid1MouseUp() { UpdateRecordCounters(); }

}  // namespace lumaref
