#pragma once

#include <QAbstractTableModel>

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/journal_columns.h"
#include "db/record_set.h"
#include "ranking/figure_columns.h"

namespace lumaref {

// The grid's data source: its columns (the designed ones, from one table, then the figure columns
// chosen) over the journal record set, read in place.
// Changes the record set reports are gathered and shown at once by flush() (queued to the event
// loop, and run at the end of every handler), so a loop over many rows costs the view nothing.
class JournalGridModel : public QAbstractTableModel, public RecordSetListener {
    Q_OBJECT
public:
    explicit JournalGridModel(RecordSet& records, QObject* parent = nullptr);
    ~JournalGridModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The record set shows its rows in the order of the column's field; the view sorts nothing itself.
    void sort(int column, Qt::SortOrder order) override;

    const JournalColumn& column(int column) const { return columns_[static_cast<std::size_t>(column)]; }
    // The figure columns after the designed ones, with their values; none until one is chosen. Their
    // field names are their titles.
    void setFigureColumns(std::shared_ptr<const FigureColumnValues> values);
    const std::shared_ptr<const FigureColumnValues>& figureValues() const { return figures_; }
    // Which figure column a column is; nullopt for a designed one.
    std::optional<std::size_t> figureColumnOf(int column) const;
    // A figure column's value for every journal of the snapshot, as the export and a sort read them.
    std::shared_ptr<const Column> figuresOfEveryRow(int column) const;
    // The record set's field a column shows; -1 when the record set has no such field.
    int fieldOf(int column) const { return fieldOfColumn_[static_cast<std::size_t>(column)]; }
    // The column showing a field of the table, by its name in any letter case; -1 for none.
    int columnOf(std::string_view field) const;
    // The column the record set's rows are sorted by, and how; nullopt in stored order.
    std::optional<std::pair<int, Qt::SortOrder>> sortColumn() const;

    // Brings the model up to the record set and reports a moved cursor once.
    void flush();

    void rowsReset() override;
    void rowChanged(int position) override;
    void rowAppended(int position) override;
    void cursorMoved(int position) override;

signals:
    // The record set's current row after a flush that followed a cursor move; -1 for none.
    void currentRowChanged(int position);

private:
    void schedule();
    int liveRowCount() const;
    void mapFields();

    RecordSet& records_;
    std::vector<JournalColumn> columns_;
    std::shared_ptr<const FigureColumnValues> figures_;
    std::array<int, 3> numberFields_{-1, -1, -1};  // ISSN, E-ISSN and subject: what a figure is found by
    int rows_ = 0;
    std::vector<int> fieldOfColumn_;  // -1: the record set has no such field
    bool resetPending_ = false;
    bool cursorPending_ = false;
    int changedFirst_ = -1;
    int changedLast_ = -1;
    bool flushQueued_ = false;
};

}  // namespace lumaref
