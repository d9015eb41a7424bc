#pragma once

#include <QTableView>

namespace lumaref {

// The read-only journal grid, drawn as designed. Typing in it searches nothing: a keyboard search
// would walk the rows.
class JournalGrid : public QTableView {
    Q_OBJECT
public:
    explicit JournalGrid(QWidget* parent = nullptr);

    void keyboardSearch(const QString& search) override;
    // The designed column widths are set with the model: the header has no columns before.
    void setModel(QAbstractItemModel* model) override;

signals:
    // Once for each thing the user does with the grid: a key down (before the grid moves), the
    // character a key types, a key up (after the grid moved), the focus coming in, a press, release
    // or move of the mouse over the cells or the titles, a cell click, a column moved. The second
    // press of a double click counts as a press and as a double click.
    void userEvent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lumaref
