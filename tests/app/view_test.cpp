// The view beyond the design, through the window: a click on a title sorts, the titles' menu shows and
// hides columns, the layout is remembered in its own file, Ctrl+C copies rows, and the search keys.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

#include "app/journal_grid.h"
#include "app/window_fixture.h"
#include "support/case_name.h"

namespace lumaref::test {
namespace {

constexpr int kTitle = 0;
constexpr int kIssn = 1;
constexpr int kImpactFactor = 4;

class ViewTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        openWindow();
        activateWindow();
        grid = control<JournalGrid>(Role::Grid);
        titles = grid->horizontalHeader();
    }
    void clickTitle(int column) {
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(column) + 5, titles->height() / 2));
    }
    QStringList column(int column) {
        QStringList values;
        for (int row = 0; row < gridRows(); ++row)
            values.append(grid->model()->index(row, column).data().toString());
        return values;
    }
    QMenu* openColumnMenu() {
        emit titles->customContextMenuRequested(QPoint(10, 5));
        auto* menu = grid->findChild<QMenu*>(QStringLiteral("ColumnMenu"));
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    void chooseInMenu(const QString& text) {
        QMenu* menu = openColumnMenu();
        for (QAction* action : menu->actions()) {
            if (action->text() == text) action->trigger();
        }
        menu->close();
    }
    std::string layoutFile() { return programDir() + "/config/lumaref/layout.conf"; }

    JournalGrid* grid = nullptr;
    QHeaderView* titles = nullptr;
};

TEST_F(ViewTest, ATitleClickSortsAscendingThenDescendingAndTheSortHoldsThroughTheSearch) {
    click(Role::NextRecordButton);  // "Optics Letters", 3.1
    clickTitle(kImpactFactor);
    EXPECT_EQ(column(kImpactFactor), QStringList({"0.4", "0.7", "1.9", "2.5", "3.1", "8.4", "52.7"}));
    EXPECT_TRUE(titles->isSortIndicatorShown());
    EXPECT_EQ(text(Role::CurrentRecordLabel), "5") << "the cursor stays on its journal";
    clickTitle(kImpactFactor);
    EXPECT_EQ(column(kImpactFactor), QStringList({"52.7", "8.4", "3.1", "2.5", "1.9", "0.7", "0.4"}));
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);

    retype(Role::SearchEdit, "optic");
    EXPECT_EQ(column(kTitle), QStringList({"Optics Letters", "Journal of Applied Optics"}));
    // "Save to file" walks the rows as shown.
    const std::string saved = programDir() + "/saved.txt";
    prompts.dialogAnswers.push_back(QString::fromStdString(saved));
    click(Role::SaveButton);
    const std::string bytes = readFile(saved);
    EXPECT_LT(bytes.find("Optics Letters"), bytes.find("Journal of Applied Optics"));
}

TEST_F(ViewTest, TheTitlesMenuShowsAndHidesColumnsAndTheGridTellsWhichItShows) {
    const std::vector<int> designed = grid->shownFields();
    ASSERT_EQ(designed.size(), 17u);
    titles->moveSection(titles->visualIndex(kImpactFactor), 0);
    chooseInMenu("ISSN");
    EXPECT_TRUE(titles->isSectionHidden(kIssn));
    std::vector<int> expected = {designed[kImpactFactor], designed[kTitle]};
    expected.insert(expected.end(), designed.begin() + 2, designed.begin() + kImpactFactor);
    expected.insert(expected.end(), designed.begin() + kImpactFactor + 1, designed.end());
    EXPECT_EQ(grid->shownFields(), expected);

    chooseInMenu("Show all columns");
    EXPECT_FALSE(titles->isSectionHidden(kIssn));
    clickTitle(kTitle);
    chooseInMenu("Reset layout");
    EXPECT_EQ(grid->shownFields(), designed);
    EXPECT_FALSE(titles->isSortIndicatorShown());
    EXPECT_EQ(column(kTitle).front(), "Journal of Applied Optics") << "stored order again";
}

// The layout file: what the user changed comes back at the next start; the design needs no file; a file
// the program cannot use is one line in the status bar and the designed window.
struct LayoutFileCase {
    const char* name;
    const char* contents;  // nullptr: the window's own, after the user's changes
    const char* status;    // a fragment of the status line; "" for the designed credit line
};

void PrintTo(const LayoutFileCase& c, std::ostream* out) { *out << c.name; }

class LayoutFileTest : public ViewTest, public ::testing::WithParamInterface<LayoutFileCase> {};

TEST_P(LayoutFileTest, ComesBackOrIsIgnoredWithOneLine) {
    const QString file = QString::fromStdString(layoutFile());
    ASSERT_TRUE(window().saveLayout(file));
    EXPECT_FALSE(QFile::exists(file)) << "the designed layout leaves no file";
    if (GetParam().contents == nullptr) {
        titles->resizeSection(kTitle, 300);
        titles->moveSection(titles->visualIndex(kIssn), 5);
        titles->hideSection(kImpactFactor);
        clickTitle(kTitle);
        clickTitle(kTitle);
        ASSERT_TRUE(window().saveLayout(file));
    } else {
        writeFile(file.toStdString(), GetParam().contents);
    }
    const QString credit = statusText();
    openWindow();
    activateWindow();
    grid = control<JournalGrid>(Role::Grid);
    titles = grid->horizontalHeader();
    window().restoreLayout(file);
    if (GetParam().contents == nullptr) {
        EXPECT_EQ(statusText().toStdString(), credit.toStdString());
        EXPECT_EQ(titles->sectionSize(kTitle), 300);
        EXPECT_EQ(titles->visualIndex(kIssn), 5);
        EXPECT_TRUE(titles->isSectionHidden(kImpactFactor));
        EXPECT_EQ(titles->sortIndicatorSection(), kTitle);
        EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);
        EXPECT_EQ(column(kTitle).back().toStdString(), "Chemical Reviews");
        titles->showSection(kImpactFactor);
        EXPECT_EQ(titles->sectionSize(kImpactFactor), 70) << "a hidden column comes back at its width";
        return;
    }
    EXPECT_TRUE(statusText().contains(QString::fromUtf8(GetParam().status))) << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(file));
    EXPECT_EQ(titles->sectionSize(kTitle), 449);
    EXPECT_FALSE(titles->isSortIndicatorShown());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LayoutFileTest,
    ::testing::Values(
        LayoutFileCase{"TheUsersOwn", nullptr, ""},
        LayoutFileCase{"AnotherVersion", "[General]\nversion=2\ncolumns=Title\nwidths=300\n",
                       "another version"},
        LayoutFileCase{"Damaged", "[General\n\x01\x02garbage=\nversion=1\n", "could not be read"},
        LayoutFileCase{"WidthsThatAreNoNumbers",
                       "[General]\nversion=1\ncolumns=Title, ISSN\nwidths=300, wide\n", "could not be read"},
        LayoutFileCase{"NoVersion", "[General]\ncolumns=Title\nwidths=300\n", "could not be read"}),
    test::CaseName());

TEST_F(ViewTest, CtrlCCopiesTheSelectedRowsAsShownWithTheTitlesShown) {
    clickTitle(kImpactFactor);  // 0.4, 0.7, 1.9, ...
    titles->hideSection(kIssn);
    const auto cell = [this](int row) {
        return grid->visualRect(grid->model()->index(row, kTitle)).center();
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell(0));
    EXPECT_EQ(journals().recNo(), 1) << "the grid's cursor is the journals' cursor";
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 4);  // titles, two rows, and the end of the last line
    EXPECT_TRUE(lines[0].startsWith("Journal Title\tE-ISSN\tFrequently\tIF\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("مجلة الفيزياء\t2222-0007\tMonthly\t0.4\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Photonics\t2222-0006\tQuarterly\t1.9\t")) << lines[2].toStdString();
    EXPECT_EQ(lines[1].count('\t'), 15);
}

TEST_F(ViewTest, CtrlFSearchesDownEntersTheGridEscapeClearsTheSearch) {
    QTest::keyClick(&window(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), control(Role::SearchEdit));
    QTest::keyClicks(QApplication::focusWidget(), "optic");
    EXPECT_EQ(text(Role::RecordCountLabel), "2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(lineEditOf(Role::SearchEdit)->text(), "");
    EXPECT_EQ(text(Role::RecordCountLabel), "7");
    EXPECT_EQ(window().windowTitle(), "Lumaref v 1.0");
}

TEST_F(ViewTest, F1OpensTheUserGuide) {
    QTest::keyClick(&window(), Qt::Key_F1);
    EXPECT_EQ(prompts.errors(), QStringList());
    auto* guide = window().findChild<QTextBrowser*>(QStringLiteral("UserGuide"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_TRUE(guide->toPlainText().startsWith("Lumaref user guide"))
        << guide->toPlainText().left(80).toStdString();
}

}  // namespace
}  // namespace lumaref::test
