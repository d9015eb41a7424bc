#include "app/journal_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QProxyStyle>

#include <algorithm>

#include "app/journal_columns.h"
#include "app/window_style.h"

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

const QFont& cellFont() {
    static const QFont font = style::tahoma(13);
    return font;
}

const QFont& titleFont() {
    static const QFont font = style::tahoma(12, true);
    return font;
}

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

    viewport()->setCursor(Qt::PointingHandCursor);
    setFont(cellFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, style::kCream);
    palette.setColor(QPalette::Text, Qt::black);
    setPalette(palette);
    QHeaderView* titles = horizontalHeader();
    titles->setFont(titleFont());
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2;"
                                         " border: none; border-right: 1px solid #808080;"
                                         " border-bottom: 1px solid #808080; padding: 2px 2px; }")
                              .arg(style::kSkyBlue.name(), style::kNavy.name()));
    verticalHeader()->setDefaultSectionSize(QFontMetrics(cellFont()).height() + 4);

    // Keys reach the grid itself, mouse events its cells and its title row.
    for (QWidget* watched : {static_cast<QWidget*>(this), viewport(), titles->viewport()}) {
        watched->installEventFilter(this);
        watched->setMouseTracking(true);
    }
    connect(this, &QTableView::clicked, this, &JournalGrid::userEvent);
    connect(titles, &QHeaderView::sectionMoved, this, &JournalGrid::userEvent);
}

void JournalGrid::keyboardSearch(const QString& /*search*/) {}

void JournalGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    const QFontMetrics cells(cellFont());
    const QFontMetrics titles(titleFont());
    for (std::size_t i = 0; i < kJournalColumns.size(); ++i) {
        const JournalColumn& column = kJournalColumns[i];
        // A column without a designed width takes its field's: so many average characters, or its title.
        const int width = column.width > 0
                              ? column.width
                              : std::max(column.displayChars * cells.averageCharWidth() + 4,
                                         titles.horizontalAdvance(QString::fromUtf8(column.title)) + 8);
        setColumnWidth(static_cast<int>(i), width);
    }
}

// Nothing is consumed: a key down is reported before the grid moves, a key up after.
bool JournalGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool onGrid = watched == this;
    const bool underMouse = watched == viewport() || watched == horizontalHeader()->viewport();
    switch (event->type()) {
        case QEvent::KeyPress:
            if (onGrid) {
                emit userEvent();
                if (!static_cast<QKeyEvent*>(event)->text().isEmpty()) emit userEvent();
            }
            break;
        case QEvent::KeyRelease:
        case QEvent::FocusIn:
            if (onGrid) emit userEvent();
            break;
        case QEvent::MouseButtonDblClick:
            if (underMouse) emit userEvent();
            [[fallthrough]];  // and a press
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            if (underMouse) emit userEvent();
            break;
        default:
            break;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace lumaref
