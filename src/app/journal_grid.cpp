#include "app/journal_grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleOptionHeader>

#include <algorithm>
#include <string_view>

#include "app/journal_columns.h"
#include "app/journal_grid_model.h"
#include "app/window_style.h"
#include "text/tab_separated.h"

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
    // One row as designed; Shift and Ctrl add more, for copying. The current row is the journals' one.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
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

    titles->setSectionsClickable(true);
    connect(titles, &QHeaderView::sectionClicked, this, &JournalGrid::onTitleClicked);
    connect(titles, &QHeaderView::sectionResized, this, [this](int column, int oldWidth, int newWidth) {
        if (newWidth == 0 && oldWidth > 0) widthsBeforeHiding_[column] = oldWidth;
    });
    titles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titles, &QHeaderView::customContextMenuRequested, this, &JournalGrid::showColumnMenu);
}

void JournalGrid::keyboardSearch(const QString& /*search*/) {}

void JournalGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    journals_ = qobject_cast<JournalGridModel*>(model);
    resetColumns();
    // A figure column comes in shown, as wide as its title or its values need.
    connect(model, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int column = first; column <= last; ++column)
                    setColumnWidth(column, designedWidth(column));
            });
}

void JournalGrid::resetColumns() {
    if (journals_ == nullptr) return;
    QHeaderView* titles = horizontalHeader();
    for (int column = 0; column < journals_->columnCount(); ++column) {
        titles->moveSection(titles->visualIndex(column), column);
        titles->showSection(column);
        setColumnWidth(column, designedWidth(column));
    }
}

bool JournalGrid::showsDesignedColumns() const {
    const QHeaderView* titles = horizontalHeader();
    if (journals_ != nullptr && journals_->figureValues() != nullptr) return false;
    for (int column = 0; journals_ != nullptr && column < journals_->columnCount(); ++column) {
        if (titles->visualIndex(column) != column || titles->isSectionHidden(column) ||
            titles->sectionSize(column) != designedWidth(column))
            return false;
    }
    return true;
}

std::vector<SavedLayout::Column> JournalGrid::columnLayout() const {
    std::vector<SavedLayout::Column> columns;
    const QHeaderView* titles = horizontalHeader();
    for (int visual = 0; journals_ != nullptr && visual < titles->count(); ++visual) {
        const int column = titles->logicalIndex(visual);
        const std::string_view field = journals_->column(column).field;
        const bool hidden = titles->isSectionHidden(column);
        const auto before = widthsBeforeHiding_.find(column);
        const int width =
            !hidden ? titles->sectionSize(column)
                    : (before != widthsBeforeHiding_.end() ? before->second : designedWidth(column));
        columns.push_back(
            {QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())), width, hidden});
    }
    return columns;
}

void JournalGrid::applyColumnLayout(const std::vector<SavedLayout::Column>& columns) {
    if (journals_ == nullptr) return;
    QHeaderView* titles = horizontalHeader();
    int place = 0;
    for (const SavedLayout::Column& saved : columns) {
        const int column = journals_->columnOf(saved.field.toStdString());
        if (column < 0) continue;
        titles->moveSection(titles->visualIndex(column), place++);
        titles->resizeSection(column, saved.width);
        titles->setSectionHidden(column, saved.hidden);
    }
    // A layout hiding every column would leave no title to bring one back by.
    if (titles->hiddenSectionCount() == titles->count()) {
        for (int column = 0; column < titles->count(); ++column) titles->showSection(column);
    }
}

int JournalGrid::designedWidth(int column) const {
    const JournalColumn& info = journals_->column(column);
    // A column without a designed width takes its field's: so many average characters, or its title.
    const int width =
        info.width > 0
            ? info.width
            : std::max(info.displayChars * QFontMetrics(cellFont()).averageCharWidth() + 4,
                       QFontMetrics(titleFont()).horizontalAdvance(QString::fromUtf8(info.title)) + 8);
    return std::max(width, neededWidth(column));
}

// The designed widths hold at the design's font; a wider font or a sort mark widens a column as far as
// its text needs, never narrows one.
int JournalGrid::neededWidth(int column) const {
    const QHeaderView* titles = horizontalHeader();
    titles->ensurePolished();  // its style sheet decides the room around a title
    const JournalColumn& info = journals_->column(column);
    QStyleOptionHeader option;
    option.initFrom(titles);
    option.rect = QRect(0, 0, titles->sectionSize(column), titles->height());
    option.section = column;
    option.text = QString::fromUtf8(info.title);
    const int chrome = option.rect.width() -
                       titles->style()->subElementRect(QStyle::SE_HeaderLabel, &option, titles).width();
    int needed = QFontMetrics(titleFont()).horizontalAdvance(option.text) + chrome;
    // The sort mark sits at the right end with its margins and the title stays centred: room for the mark
    // on both sides.
    if (titles->isSortIndicatorShown() && titles->sortIndicatorSection() == column) {
        needed += 2 * (titles->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, titles) +
                       2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles));
    }
    if (info.widestValue != nullptr) {
        const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
        needed =
            std::max(needed, QFontMetrics(cellFont()).horizontalAdvance(QString::fromUtf8(info.widestValue)) +
                                 margins);
    }
    return needed;
}

void JournalGrid::fitColumn(int column) {
    QHeaderView* titles = horizontalHeader();
    const int needed = neededWidth(column);
    if (titles->sectionSize(column) < needed) titles->resizeSection(column, needed);
}

std::vector<int> JournalGrid::shownFields() const {
    std::vector<int> fields;
    for (const int column : shownColumns()) {
        if (journals_->fieldOf(column) >= 0) fields.push_back(journals_->fieldOf(column));
    }
    return fields;
}

std::vector<int> JournalGrid::shownColumns() const {
    std::vector<int> columns;
    const QHeaderView* titles = horizontalHeader();
    for (int visual = 0; journals_ != nullptr && visual < titles->count(); ++visual) {
        const int column = titles->logicalIndex(visual);
        if (!titles->isSectionHidden(column)) columns.push_back(column);
    }
    return columns;
}

void JournalGrid::showSort(const std::optional<std::pair<int, Qt::SortOrder>>& sort) {
    QHeaderView* titles = horizontalHeader();
    titles->setSortIndicatorShown(sort.has_value());
    titles->setSortIndicator(sort ? sort->first : -1, sort ? sort->second : Qt::AscendingOrder);
    if (sort) fitColumn(sort->first);
}

// The journals know their order: the header's own idea of the next one is not asked.
void JournalGrid::onTitleClicked(int column) {
    if (journals_ == nullptr) return;
    const std::optional<std::pair<int, Qt::SortOrder>> sort = journals_->sortColumn();
    const bool ascendingHere = sort && sort->first == column && sort->second == Qt::AscendingOrder;
    emit sortClicked(column, ascendingHere ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void JournalGrid::showColumnMenu(const QPoint& at) {
    if (journals_ == nullptr) return;
    QHeaderView* titles = horizontalHeader();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ColumnMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int shown = 0;
    for (int column = 0; column < titles->count(); ++column) shown += titles->isSectionHidden(column) ? 0 : 1;
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int column = titles->logicalIndex(visual);
        QAction* action = menu->addAction(QString::fromUtf8(journals_->column(column).title));
        action->setCheckable(true);
        action->setChecked(!titles->isSectionHidden(column));
        // The last column shown stays: a grid without columns could not be given them back by its titles.
        action->setEnabled(titles->isSectionHidden(column) || shown > 1);
        connect(action, &QAction::toggled, this, [this, column](bool on) { setColumnHidden(column, !on); });
    }
    // Figures loaded from ranking files, offered only once some are.
    const std::vector<QString> offered =
        figureColumnsOffered_ ? figureColumnsOffered_() : std::vector<QString>();
    bool figuresBegun = false;
    if (!offered.empty() && figuresAction_ != nullptr) {
        menu->addSeparator();
        menu->addAction(figuresAction_);
        figuresBegun = true;
    }
    for (const QString& title : offered) {
        if (journals_->columnOf(title.toStdString()) >= 0) continue;
        if (!figuresBegun) menu->addSeparator();
        figuresBegun = true;
        QAction* action = menu->addAction(title);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, title](bool on) {
            if (on) emit figureColumnChosen(title);
        });
    }
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Show all columns")), &QAction::triggered, this, [this] {
        for (int column = 0; column < horizontalHeader()->count(); ++column) showColumn(column);
    });
    connect(menu->addAction(QStringLiteral("Reset layout")), &QAction::triggered, this,
            &JournalGrid::resetLayoutClicked);
    menu->popup(titles->viewport()->mapToGlobal(at));
}

std::string JournalGrid::selectedRowsText() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty() && currentIndex().isValid()) rows.push_back(currentIndex().row());
    if (rows.empty() || model() == nullptr) return {};

    const std::vector<int> columns = shownColumns();
    std::vector<std::string> texts(columns.size());
    std::vector<std::string_view> cells(columns.size());
    std::string out;
    const auto appendRow = [&](const auto& textOf) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            texts[i] = textOf(columns[i]).toStdString();
            cells[i] = texts[i];
        }
        appendTabSeparatedRow(out, cells);
    };
    appendRow([this](int column) { return model()->headerData(column, Qt::Horizontal).toString(); });
    for (const int row : rows) {
        appendRow([this, row](int column) { return model()->index(row, column).data().toString(); });
    }
    return out;
}

void JournalGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        const std::string text = selectedRowsText();
        if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) emit escapePressed();
    QTableView::keyPressEvent(event);
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
