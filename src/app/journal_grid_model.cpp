#include "app/journal_grid_model.h"

#include <QTimer>

#include <algorithm>

#include "db/schema_names.h"
#include "text/text_fold.h"

namespace lumaref {

JournalGridModel::JournalGridModel(RecordSet& records, QObject* parent)
    : QAbstractTableModel(parent),
      records_(records),
      columns_(kJournalColumns.begin(), kJournalColumns.end()),
      fieldOfColumn_(columns_.size(), -1) {
    mapFields();
    rows_ = liveRowCount();
    records_.setListener(this);
}

JournalGridModel::~JournalGridModel() { records_.setListener(nullptr); }

int JournalGridModel::liveRowCount() const { return records_.active() ? records_.recordCount() : 0; }

void JournalGridModel::mapFields() {
    fieldOfColumn_.assign(columns_.size(), -1);
    numberFields_.fill(-1);
    if (!records_.active()) return;
    const int count = records_.fieldCount();
    const std::string_view numbers[] = {kIssnField, kEIssnField, kSubjectField};
    for (int field = 0; field < count; ++field) {
        for (std::size_t i = 0; i < numberFields_.size(); ++i) {
            if (sameName(records_.field(field).name, numbers[i])) numberFields_[i] = field;
        }
    }
    // A figure column is no field, whatever its title.
    for (std::size_t column = 0; column < kJournalColumns.size(); ++column) {
        for (int field = 0; field < count; ++field) {
            if (sameName(records_.field(field).name, columns_[column].field)) {
                fieldOfColumn_[column] = field;
                break;
            }
        }
    }
}

int JournalGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int JournalGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant JournalGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columns_[column].align);
    if (role != Qt::DisplayRole) return {};
    // valueAt answers empty for a row the record set no longer has, so a view that paints before
    // the next flush shows blanks rather than stale or missing rows.
    if (const std::optional<std::size_t> figure = figureColumnOf(index.column())) {
        const auto value = [this, &index](std::size_t i) {
            return records_.valueAt(index.row(), numberFields_[i]);
        };
        const std::string_view text = figures_->valueFor(*figure, value(0), value(1), value(2));
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string_view text = records_.valueAt(index.row(), fieldOfColumn_[column]);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant JournalGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return QString::fromUtf8(column(section).title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(kCentre));
    // A first click on a title sorts ascending.
    if (role == Qt::InitialSortOrderRole) return QVariant::fromValue(Qt::AscendingOrder);
    return {};
}

Qt::ItemFlags JournalGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void JournalGridModel::sort(int column, Qt::SortOrder order) {
    const SortDirection direction =
        order == Qt::DescendingOrder ? SortDirection::Descending : SortDirection::Ascending;
    // A figure column is sorted by its values for every journal, made once a click: its sort names the
    // column, not a field.
    if (figureColumnOf(column)) {
        records_.setSort(RowSort{column, direction}, figuresOfEveryRow(column));
        return;
    }
    if (column < 0 || column >= columnCount() || fieldOf(column) < 0) return;
    records_.setSort(RowSort{fieldOf(column), direction});
}

// Columns are added or taken at the end, never reset: the header keeps the user's order, widths and
// hidden columns.
void JournalGridModel::setFigureColumns(std::shared_ptr<const FigureColumnValues> values) {
    const int designed = static_cast<int>(kJournalColumns.size());
    const int before = columnCount();
    const int after = designed + (values != nullptr ? static_cast<int>(values->columns().size()) : 0);
    const auto adopt = [this, &values] {
        figures_ = std::move(values);
        columns_.assign(kJournalColumns.begin(), kJournalColumns.end());
        // The titles are read in place: the values outlive the columns made of them.
        if (figures_ != nullptr) {
            for (const FigureColumn& figure : figures_->columns())
                columns_.push_back({figure.title, figure.title.c_str(), 0, 8, kCentre});
        }
        mapFields();
    };
    if (after > before) {
        beginInsertColumns(QModelIndex(), before, after - 1);
        adopt();
        endInsertColumns();
    } else if (after < before) {
        beginRemoveColumns(QModelIndex(), after, before - 1);
        adopt();
        endRemoveColumns();
    } else {
        adopt();
    }
    if (after > designed && rows_ > 0) {
        emit headerDataChanged(Qt::Horizontal, designed, after - 1);
        emit dataChanged(index(0, designed), index(rows_ - 1, after - 1));
    }
}

std::optional<std::size_t> JournalGridModel::figureColumnOf(int column) const {
    if (column < static_cast<int>(kJournalColumns.size()) || column >= columnCount()) return std::nullopt;
    return static_cast<std::size_t>(column) - kJournalColumns.size();
}

std::shared_ptr<const Column> JournalGridModel::figuresOfEveryRow(int column) const {
    const std::optional<std::size_t> figure = figureColumnOf(column);
    if (!figure || !records_.active()) return nullptr;
    return std::make_shared<const Column>(figuresOfRows(*figures_, *figure, records_.snapshot()));
}

int JournalGridModel::columnOf(std::string_view field) const {
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        if (sameName(columns_[column].field, field)) return static_cast<int>(column);
    }
    return -1;
}

std::optional<std::pair<int, Qt::SortOrder>> JournalGridModel::sortColumn() const {
    const std::optional<RowSort>& sort = records_.sort();
    if (!sort) return std::nullopt;
    const auto qtOrder = [&sort] {
        return sort->direction == SortDirection::Descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    };
    if (records_.sortKey() != nullptr) {
        if (!figureColumnOf(sort->column)) return std::nullopt;
        return std::pair(sort->column, qtOrder());
    }
    const auto column = std::find(fieldOfColumn_.begin(), fieldOfColumn_.end(), sort->column);
    if (column == fieldOfColumn_.end()) return std::nullopt;
    return std::pair(static_cast<int>(column - fieldOfColumn_.begin()),
                     sort->direction == SortDirection::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
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
