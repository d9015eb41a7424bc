// Figures from ranking files through the window: a figure column chosen in the titles' menu is sorted,
// copied and exported as the grid shows it; the figures pane opens on its key, lists the current
// journal's figures and filters the rows beside the selection.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <string>

#include "app/journal_grid.h"
#include "app/window_fixture.h"

namespace lumaref::test {
namespace {

// JCR's quartile of "OPTICS" in two years and a JIF, DOAJ's open access for the second journal.
constexpr const char* kFigures =
    "INSERT INTO ranking_loads VALUES (1, 'JCR', 2022, 'a', 't'), (2, 'JCR', 2023, 'b', 't'), "
    "(3, 'DOAJ', 2024, 'c', 't');"
    "INSERT INTO ranking_names VALUES (1, 1, 'JIF Quartile'), (1, 2, 'OPTICS'), (2, 1, 'JIF Quartile'), "
    "(2, 2, 'OPTICS'), (2, 3, 'JIF'), (3, 1, 'Open access'), (3, 2, 'APC');"
    "INSERT INTO ranking_journals VALUES (1, 1, '1111-0001', NULL, 'A'), (2, 1, '1111-0001', NULL, 'A'), "
    "(2, 2, NULL, '2222-0002', 'B'), (3, 1, '1111-0002', NULL, 'B');"
    "INSERT INTO ranking_figures VALUES (4294967296, 1, 1, 2, 1, 'Q4'), (8589934592, 2, 1, 2, 1, 'Q2'), "
    "(8589934593, 2, 1, 0, 3, '4.5'), (8589934594, 2, 2, 2, 1, 'Q1'), (8589934595, 2, 2, 0, 3, '1.2'), "
    "(12884901888, 3, 1, 0, 1, 'yes'), (12884901889, 3, 1, 0, 2, 'no');";

class FiguresWindowTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        execSql(databasePath(), kFigures);
        openWindow();
        activateWindow();
        grid = control<JournalGrid>(Role::Grid);
    }
    QStringList columnMenu() {
        emit grid->horizontalHeader()->customContextMenuRequested(QPoint(10, 5));
        auto* menu = grid->findChild<QMenu*>(QStringLiteral("ColumnMenu"));
        QStringList texts;
        for (QAction* action : menu->actions()) texts.append(action->text());
        menu->close();
        return texts;
    }
    void choose(const QString& text) {
        emit grid->horizontalHeader()->customContextMenuRequested(QPoint(10, 5));
        auto* menu = grid->findChild<QMenu*>(QStringLiteral("ColumnMenu"));
        for (QAction* action : menu->actions()) {
            if (action->text() == text) action->trigger();
        }
        menu->close();
    }
    QStringList shown(int column) {
        QStringList values;
        for (int row = 0; row < gridRows(); ++row)
            values.append(grid->model()->index(row, column).data().toString());
        return values;
    }

    JournalGrid* grid = nullptr;
};

TEST_F(FiguresWindowTest, AFigureColumnIsSortedCopiedAndExportedAsShown) {
    const QStringList menu = columnMenu();
    EXPECT_TRUE(menu.contains(QStringLiteral("Q in subject")));
    EXPECT_TRUE(menu.contains(QStringLiteral("Open access")));
    EXPECT_FALSE(menu.contains(QStringLiteral("SJR")));  // not loaded
    choose(QStringLiteral("JIF"));
    choose(QStringLiteral("Q in subject"));
    ASSERT_EQ(grid->model()->columnCount(), 19);
    retype(Role::CategoryBox, "Physics");
    // The record's own subject, in any letter case; the latest year.
    EXPECT_EQ(shown(18), (QStringList{"Q2", "Q1", "", ""}));

    // Titles: hide all but the title and the figures, then sort by JIF.
    QHeaderView* titles = grid->horizontalHeader();
    for (int column = 1; column < 17; ++column) titles->setSectionHidden(column, true);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(17) + 5, titles->height() / 2));
    EXPECT_EQ(shown(17), (QStringList{"1.2", "4.5", "", ""}));

    grid->setFocus();
    grid->selectRow(0);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "Journal Title\tJIF\tQ in subject\nOptics Letters\t1.2\tQ1\n");

    prompts.dialogAnswers.push_back(QDir::current().filePath("view.csv"));
    grid->findChild<QAction*>(QStringLiteral("ExportViewAction"))->trigger();
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(readFile("view.csv"),
              "\xEF\xBB\xBFJournal Title,JIF,Q in subject\r\nOptics Letters,1.2,Q1\r\n"
              "Journal of Applied Optics,4.5,Q2\r\nPhysical Review,,\r\nPhotonics,,\r\n");

    // A workbook showing the DOAJ's figures names the DOAJ on its second sheet, as its licence asks.
    choose(QStringLiteral("Open access"));
    prompts.dialogAnswers.push_back(QDir::current().filePath("view.xlsx"));
    grid->findChild<QAction*>(QStringLiteral("ExportViewAction"))->trigger();
    EXPECT_EQ(prompts.errors(), QStringList());
    FILE* sheet = ::popen(("unzip -p '" + QDir::current().filePath("view.xlsx").toStdString() +
                           "' xl/worksheets/sheet2.xml xl/sharedStrings.xml 2>/dev/null")
                              .c_str(),
                          "r");
    ASSERT_NE(sheet, nullptr);
    std::string parts;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, sheet)) > 0;) parts.append(buffer, got);
    ::pclose(sheet);
    EXPECT_NE(parts.find("https://doaj.org"), std::string::npos);

    // The layout remembers the figure columns and their sort; "Reset layout" takes them away.
    const QString layout = QString::fromStdString(programDir() + "/layout.conf");
    ASSERT_TRUE(window().saveLayout(layout));
    openWindow();
    grid = control<JournalGrid>(Role::Grid);
    window().restoreLayout(layout);
    ASSERT_EQ(grid->model()->columnCount(), 20);
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 17);
    EXPECT_EQ(shown(17).first(), "1.2");
    choose(QStringLiteral("Reset layout"));
    EXPECT_EQ(grid->model()->columnCount(), 17);
}

TEST_F(FiguresWindowTest, ThePaneListsTheCurrentJournalsFiguresAndFiltersBesideTheSelection) {
    retype(Role::CategoryBox, "Physics");
    const std::string selection = journals().filter();
    auto* pane = control<QWidget>(Role::FiguresPane);
    EXPECT_FALSE(pane->isVisible());
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(pane->isVisible());
    // The first row, Journal of Applied Optics: both JCR years' quartiles and its JIF.
    EXPECT_EQ(pane->findChild<QTreeWidget*>(QStringLiteral("FiguresList"))->topLevelItemCount(), 3);
    EXPECT_NE(pane->findChild<QWidget*>(QStringLiteral("FiguresChart")), nullptr);

    pane->findChild<QCheckBox*>(QStringLiteral("FiguresOpenAccess"))->click();
    EXPECT_EQ(text(Role::RecordCountLabel), "1");
    EXPECT_EQ(shown(0), QStringList{"Optics Letters"});
    EXPECT_EQ(journals().filter(), selection);
    pane->findChild<QCheckBox*>(QStringLiteral("FiguresOpenAccess"))->click();
    EXPECT_EQ(text(Role::RecordCountLabel), "4");
}

}  // namespace
}  // namespace lumaref::test
