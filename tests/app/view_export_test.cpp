// "Export view…" through the window: the rows and columns the grid shows become the file.
#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include "app/window_fixture.h"

namespace lumaref::test {
namespace {

class ViewExportWindowTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        openWindow();
    }
    QString path(const QString& name) { return QDir::current().filePath(name); }
};

TEST_F(ViewExportWindowTest, CtrlEWritesTheRowsAndColumnsShownInTheirOrder) {
    activateWindow();
    retype(Role::CategoryBox, "Physics");
    auto* grid = control<QTableView>(Role::Grid);
    QHeaderView* header = grid->horizontalHeader();
    for (int column = 0; column < header->count(); ++column) header->setSectionHidden(column, true);
    for (const int column : {0, 4, 14}) header->setSectionHidden(column, false);  // title, IF, address
    header->moveSection(header->visualIndex(4), 0);

    // The grid's context menu holds the same action, so no control of the window changes.
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(grid->actions().size(), 1);
    EXPECT_EQ(grid->actions().front()->text(), QString::fromUtf8("Export view…"));

    prompts.dialogAnswers.push_back(path("view.csv"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(prompts.errors(), QStringList());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].kind, ScriptedPrompts::Kind::ExportDialog);
    EXPECT_EQ(prompts.shown()[0].text, "Journals.xlsx");
    EXPECT_EQ(readFile(path("view.csv").toStdString()),
              "\xEF\xBB\xBFIF,Journal Title,Address\r\n"
              "2.5,Journal of Applied Optics,\"Elsevier, Amsterdam\"\r\n"
              "3.1,Optics Letters,\"Optica Publishing, Washington\"\r\n"
              "8.4,Physical Review,American Physical Society\r\n"
              "1.9,Photonics,\"MDPI, Basel\"\r\n");
    EXPECT_EQ(statusText(), "Exported 4 journals to " + path("view.csv"));
}

}  // namespace
}  // namespace lumaref::test
