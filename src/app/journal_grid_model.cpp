#include "app/journal_grid_model.h"

#include <QTimer>

#include <algorithm>

#include "app/journal_columns.h"
#include "text/text_fold.h"

namespace lumaref {

JournalGridModel::JournalGridModel(RecordSet& records, QObject* parent)
    : QAbstractTableModel(parent), records_(records), fieldOfColumn_(kJournalColumns.size(), -1) {
    mapFields();
    rows_ = liveRowCount();
    records_.setListener(this);
}

JournalGridModel::~JournalGridModel() { records_.setListener(nullptr); }

int JournalGridModel::liveRowCount() const { return records_.active() ? records_.recordCount() : 0; }

void JournalGridModel::mapFields() {
    std::fill(fieldOfColumn_.begin(), fieldOfColumn_.end(), -1);
    if (!records_.active()) return;
    const int count = records_.fieldCount();
    for (std::size_t column = 0; column < kJournalColumns.size(); ++column) {
        for (int field = 0; field < count; ++field) {
            if (sameName(records_.field(field).name, kJournalColumns[column].field)) {
                fieldOfColumn_[column] = field;
                break;
            }
        }
    }
}

int JournalGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int JournalGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kJournalColumns.size());
}

QVariant JournalGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(kJournalColumns[column].align);
    if (role != Qt::DisplayRole) return {};
    // valueAt answers empty for a row the record set no longer has, so a view that paints before
    // the next flush shows blanks rather than stale or missing rows.
    const std::string_view text = records_.valueAt(index.row(), fieldOfColumn_[column]);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant JournalGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kJournalColumns[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(kCentre));
    return {};
}

Qt::ItemFlags JournalGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void JournalGridModel::schedule() {
    if (flushQueued_) return;
    flushQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        flushQueued_ = false;
        flush();
    });
}

void JournalGridModel::flush() {
    const int live = liveRowCount();
    if (resetPending_ || live < rows_) {
        beginResetModel();
        mapFields();
        rows_ = live;
        endResetModel();
        cursorPending_ = true;  // a reset drops the view's current index
    } else {
        if (changedFirst_ >= 0 && changedFirst_ < rows_) {
            const int last = std::min(changedLast_, rows_ - 1);
            emit dataChanged(index(changedFirst_, 0), index(last, columnCount() - 1));
        }
        if (live > rows_) {
            beginInsertRows(QModelIndex(), rows_, live - 1);
            rows_ = live;
            endInsertRows();
        }
    }
    resetPending_ = false;
    changedFirst_ = changedLast_ = -1;
    if (cursorPending_) {
        cursorPending_ = false;
        emit currentRowChanged(records_.currentPosition());
    }
}

void JournalGridModel::rowsReset() {
    resetPending_ = true;
    schedule();
}

void JournalGridModel::rowChanged(int position) {
    if (position < 0) return;
    changedFirst_ = changedFirst_ < 0 ? position : std::min(changedFirst_, position);
    changedLast_ = std::max(changedLast_, position);
    schedule();
}

void JournalGridModel::rowAppended(int /*position*/) { schedule(); }

void JournalGridModel::cursorMoved(int /*position*/) {
    cursorPending_ = true;
    schedule();
}

}  // namespace lumaref
