#pragma once

#include <QTableView>

#include "app/layout_file.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumaref {

class JournalGridModel;

// The read-only journal grid, drawn as designed. Typing in it searches nothing: a keyboard search
// would walk the rows. Beyond the design, for a user who reaches for them: a click on a title sorts,
// the titles' menu shows and hides columns, titles are dragged and resized, several rows are selected
// with Shift and Ctrl, and Ctrl+C copies them.
class JournalGrid : public QTableView {
    Q_OBJECT
public:
    explicit JournalGrid(QWidget* parent = nullptr);

    void keyboardSearch(const QString& search) override;
    // The designed column widths are set with the model: the header has no columns before.
    void setModel(QAbstractItemModel* model) override;

    // The record set's field of every column shown, in the order shown from left to right; hidden
    // columns, and columns whose field the record set lacks, are left out.
    std::vector<int> shownFields() const;
    // Every column shown, in the order shown, figure columns too.
    std::vector<int> shownColumns() const;
    // The titles of the figure columns the titles' menu offers beside those the grid has: asked each
    // time the menu opens.
    void setFigureColumnsOffered(std::function<std::vector<QString>()> offered) {
        figureColumnsOffered_ = std::move(offered);
    }
    // Listed in the titles' menu after the figure columns, when any are offered.
    void setFiguresAction(QAction* action) { figuresAction_ = action; }

    // The designed columns: in their order, at their widths, all shown.
    void resetColumns();
    bool showsDesignedColumns() const;
    // The columns as the user left them, by field, in the order shown; and back. Fields the grid has no
    // column for are passed over; columns the layout does not name keep their place after the others.
    std::vector<SavedLayout::Column> columnLayout() const;
    void applyColumnLayout(const std::vector<SavedLayout::Column>& columns);
    // The header marks the column the rows are sorted by and the direction; nullopt: stored order.
    void showSort(const std::optional<std::pair<int, Qt::SortOrder>>& sort);
    // The selected rows (the current row when only it is), in the order shown, as tab-separated text:
    // a line of the titles shown, then a line per row with its values as the grid shows them.
    std::string selectedRowsText() const;

signals:
    // Once for each thing the user does with the grid: a key down (before the grid moves), the
    // character a key types, a key up (after the grid moved), the focus coming in, a press, release
    // or move of the mouse over the cells or the titles, a cell click, a column moved. The second
    // press of a double click counts as a press and as a double click.
    void userEvent();
    // A click on a column's title: sort by it ascending, or descending when it is sorted ascending.
    void sortClicked(int column, Qt::SortOrder order);
    // "Reset layout" in the titles' menu.
    void resetLayoutClicked();
    // Escape on the grid: the search is cleared.
    void escapePressed();
    // A figure column chosen in the titles' menu, by its title.
    void figureColumnChosen(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onTitleClicked(int column);
    void showColumnMenu(const QPoint& at);
    // The width a column's title (with the sort mark when it has one) and its widest value need.
    int neededWidth(int column) const;
    // The designed width, or more where the font needs it.
    int designedWidth(int column) const;
    void fitColumn(int column);

    JournalGridModel* journals_ = nullptr;
    // The width each hidden column had, by column: the header tells a hidden column's width as 0.
    std::map<int, int> widthsBeforeHiding_;
    std::function<std::vector<QString>()> figureColumnsOffered_;
    QAction* figuresAction_ = nullptr;
};

}  // namespace lumaref
