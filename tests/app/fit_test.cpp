// Every text of the window shows whole: labels, buttons, radio buttons, the grid's titles and its
// values of one form. ctest runs this as the design has it, and again with a wider font (DejaVu Sans
// without its condensed faces, as on an install without fonts-dejavu-extra) and at larger scales.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>

#include <cstdio>

#include "app/window_fixture.h"

namespace lumaref::test {
namespace {

QString describe(const QWidget* control, const QString& text, int needed, int room) {
    return QStringLiteral("%1 '%2' needs %3 px, has %4")
        .arg(control->objectName(), text)
        .arg(needed)
        .arg(room);
}

int buttonTextRoom(const QAbstractButton* button, QStyle::SubElement contents) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return button->style()->subElementRect(contents, &option, button).width();
}

// The texts of the window's own controls: too narrow, out of the window, or under a control made later.
QStringList cutControlTexts(const QWidget& window) {
    QStringList cut;
    const QObjectList& controls = window.children();
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const auto* control = qobject_cast<const QWidget*>(controls[i]);
        QString text;
        int needed = 0;
        int room = 0;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            text = label->text();
            needed = label->fontMetrics().horizontalAdvance(text);
            room = label->contentsRect().width();
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(control)) {
            text = radio->text();
            needed = radio->fontMetrics().horizontalAdvance(text);
            room = buttonTextRoom(radio, QStyle::SE_RadioButtonContents);
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            text = button->text();
            needed = button->fontMetrics().horizontalAdvance(text) +
                     (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
            room = buttonTextRoom(button, QStyle::SE_PushButtonContents);
        }
        if (text.isEmpty()) continue;
        if (needed > room) cut.append(describe(control, text, needed, room));
        if (!window.rect().contains(control->geometry()))
            cut.append(control->objectName() + QStringLiteral(" reaches out of the window"));
        // The band the text's line takes across the control: neighbours may touch the control's edges.
        const int lineHeight = control->fontMetrics().height();
        const QRect line(control->x(), control->y() + (control->height() - lineHeight) / 2, control->width(),
                         lineHeight);
        for (qsizetype later = i + 1; later < controls.size() && !control->isHidden(); ++later) {
            const auto* above = qobject_cast<const QWidget*>(controls[later]);
            if (above != nullptr && !above->isHidden() && above->geometry().intersects(line))
                cut.append(control->objectName() + QStringLiteral(" lies under ") + above->objectName());
        }
    }
    return cut;
}

// The titles, the sorted one with its mark, and the ISSNs, whose values all have one form.
QStringList cutGridTexts(const QTableView& grid) {
    QStringList cut;
    const QHeaderView* titles = grid.horizontalHeader();
    const QAbstractItemModel* model = grid.model();
    for (int column = 0; column < titles->count(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(titles);
        option.rect = QRect(0, 0, titles->sectionSize(column), titles->height());
        option.text = model->headerData(column, Qt::Horizontal).toString();
        if (titles->isSortIndicatorShown() && titles->sortIndicatorSection() == column)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        int room = titles->style()->subElementRect(QStyle::SE_HeaderLabel, &option, titles).width();
        // The mark sits at the right end, with its margins, and the title stays centred: it needs the
        // mark's room on both sides.
        const int mark = titles->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, titles) +
                         2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
        if (option.sortIndicator != QStyleOptionHeader::None) room -= 2 * mark;
        const int needed = titles->fontMetrics().horizontalAdvance(option.text);
        if (needed > room) cut.append(describe(titles, option.text, needed, room));
        if (option.text != "ISSN" && option.text != "E-ISSN") continue;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString value = model->index(row, column).data().toString();
            const int width = grid.fontMetrics().horizontalAdvance(value);
            // Cells keep a pixel of room beside their text.
            if (width > titles->sectionSize(column) - 2)
                cut.append(describe(&grid, value, width, titles->sectionSize(column) - 2));
        }
    }
    return cut;
}

TEST_F(WindowTest, EveryTextFitsItsControl) {
    createLibrary();
    openWindow();
    activateWindow();
    std::printf("font %s, scale %.2f\n",
                control<QLabel>(Role::SearchTextLabel)->font().family().toUtf8().data(),
                window().devicePixelRatio());
    auto* grid = control<QTableView>(Role::Grid);
    // The longest title that fits the design only just: sorted, it carries the mark too.
    const int tightest = 9;
    ASSERT_EQ(grid->model()->headerData(tightest, Qt::Horizontal).toString(),
              "Science Citation Index Expanded");
    QHeaderView* titles = grid->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(tightest) + 5, titles->height() / 2));
    ASSERT_TRUE(titles->isSortIndicatorShown());
    std::vector<std::string> cut;
    for (const QString& text : cutControlTexts(window()) + cutGridTexts(*grid))
        cut.push_back(text.toStdString());
    EXPECT_EQ(cut, std::vector<std::string>());
}

}  // namespace
}  // namespace lumaref::test
