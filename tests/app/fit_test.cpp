#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTableView>
#include <cstdio>

#include "app/window_fixture.h"

namespace lumaref::test {
namespace {

TEST_F(WindowTest, Measure) {
    createLibrary();
    openWindow();
    activateWindow();
    std::printf("font %s\n", control<QLabel>(Role::RecordCountLabel)->font().family().toStdString().c_str());
    for (QLabel* w : window().findChildren<QLabel*>()) {
        if (w->text().isEmpty()) continue;
        std::printf("label %-10s need %4d room %4d right %4d %s\n", w->objectName().toStdString().c_str(),
                    w->fontMetrics().horizontalAdvance(w->text()), w->contentsRect().width(),
                    w->geometry().right(), w->text().toStdString().c_str());
    }
    for (QPushButton* w : window().findChildren<QPushButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(w);
        opt.text = w->text();
        opt.icon = w->icon();
        opt.iconSize = w->iconSize();
        const int room = w->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, w).width();
        const int need = w->fontMetrics().horizontalAdvance(w->text()) +
                         (w->icon().isNull() ? 0 : w->iconSize().width() + 4);
        std::printf("button %-10s need %4d room %4d w %d %s\n", w->objectName().toStdString().c_str(), need,
                    room, w->width(), w->text().toStdString().c_str());
    }
    for (QRadioButton* w : window().findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(w);
        opt.text = w->text();
        const int room = w->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, w).width();
        std::printf("radio %-10s need %4d room %4d w %d hint %d\n", w->objectName().toStdString().c_str(),
                    w->fontMetrics().horizontalAdvance(w->text()), room, w->width(), w->sizeHint().width());
    }
    auto* grid = control<QTableView>(Role::Grid);
    QHeaderView* h = grid->horizontalHeader();
    for (int s = 0; s < h->count(); ++s) {
        QStyleOptionHeader opt;
        opt.initFrom(h);
        opt.rect = QRect(0, 0, h->sectionSize(s), h->height());
        opt.section = s;
        opt.text = grid->model()->headerData(s, Qt::Horizontal).toString();
        const int room = h->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, h).width();
        QFontMetrics fm(h->font());
        std::printf("header %2d need %4d room %4d size %d %s\n", s, fm.horizontalAdvance(opt.text), room,
                    h->sectionSize(s), opt.text.toStdString().c_str());
    }
    QFontMetrics cells(grid->font());
    std::printf("issn cell need %d (col %d) if %d\n", cells.horizontalAdvance("0000-000X"), h->sectionSize(1),
                cells.horizontalAdvance("12.345"));
}

}  // namespace
}  // namespace lumaref::test
