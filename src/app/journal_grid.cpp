#include "app/journal_grid.h"

#include <QHeaderView>
#include <QProxyStyle>

namespace lumaref {

namespace {

// Cells keep one pixel beside their text, not three: the designed column widths were measured so.
class NarrowCellStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

JournalGrid::JournalGrid(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(false);  // Tab leaves the grid for the next control
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);  // a long value is cut at the cell border, as the grid always did
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // Every row has one fixed height, so the view never measures rows: 100,000 rows cost nothing.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    auto* cellStyle = new NarrowCellStyle;
    cellStyle->setParent(this);
    setStyle(cellStyle);
}

void JournalGrid::keyboardSearch(const QString& /*search*/) {}

}  // namespace lumaref
