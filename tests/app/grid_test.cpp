#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app/journal_columns.h"
#include "app/window_fixture.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

std::vector<TestJournal> numberedJournals(int count) {
    static std::vector<std::string> titles;
    titles.clear();
    titles.reserve(static_cast<std::size_t>(count));
    std::vector<TestJournal> journals;
    for (int i = 1; i <= count; ++i) {
        titles.push_back("Journal " + std::to_string(i));
        journals.push_back({titles.back().c_str(), i % 10 == 0 ? "Tenth" : "Other", "", "Monthly"});
    }
    return journals;
}

class GridTest : public WindowTest {
protected:
    void open(int journals) {
        createLibrary(numberedJournals(journals));
        openWindow();
        showGrid();
    }
    void showGrid() {
        activateWindow();
        grid = control<QTableView>(Role::Grid);
    }
    int currentRow() { return grid->currentIndex().row(); }
    QPoint cellCentre(int row, int column) {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }

    QTableView* grid = nullptr;
};

TEST_F(GridTest, NavigatorMovesTheSharedCursorAndRefreshesBothCounters) {
    open(250);
    struct Step {
        Role button;
        const char* current;
    };
    for (const Step& step : {Step{Role::LastRecordButton, "250"}, Step{Role::PriorRecordButton, "249"},
                             Step{Role::FirstRecordButton, "1"}, Step{Role::PriorRecordButton, "1"},
                             Step{Role::NextRecordButton, "2"}, Step{Role::NextRecordButton, "3"}}) {
        click(step.button);
        EXPECT_EQ(text(Role::CurrentRecordLabel), step.current) << step.button.objectName;
        EXPECT_EQ(text(Role::RecordCountLabel), "250");
        EXPECT_EQ(QString::number(currentRow() + 1), step.current)
            << "grid follows " << step.button.objectName;
    }
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(GridTest, KeyDownRefreshesBeforeTheGridMovesAndKeyUpAfter) {
    open(20);
    for (int i = 0; i < 4; ++i) click(Role::NextRecordButton);
    ASSERT_EQ(text(Role::CurrentRecordLabel), "5");
    QTest::keyPress(grid, Qt::Key_Down);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "5");
    EXPECT_EQ(journals().recNo(), 6);
    QTest::keyRelease(grid, Qt::Key_Down);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "6");

    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "20");
    // Typing a character moves nothing: the grid searches no rows.
    QTest::keyClick(grid, Qt::Key_J);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "20");
}

TEST_F(GridTest, ClickingACellMovesTheRecordSet) {
    open(20);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 3));
    EXPECT_EQ(journals().recNo(), 3);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "3");
    EXPECT_EQ(grid->currentIndex().column(), 3);
    click(Role::NextRecordButton);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "4");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(3, 3));
}

TEST_F(GridTest, AFilterChangeRewritesOnlyTheCountUntilTheNextGridEvent) {
    open(100);
    for (int i = 0; i < 56; ++i) click(Role::NextRecordButton);
    ASSERT_EQ(text(Role::CurrentRecordLabel), "57");
    retype(Role::CategoryBox, "Tenth");
    EXPECT_EQ(text(Role::RecordCountLabel), "10");
    EXPECT_EQ(text(Role::CurrentRecordLabel), "57");
    EXPECT_EQ(currentRow(), 0);
    QTest::mouseMove(grid->viewport(), cellCentre(4, 1));
    EXPECT_EQ(text(Role::CurrentRecordLabel), "1");

    retype(Role::CategoryBox, "Nothing");
    EXPECT_EQ(text(Role::RecordCountLabel), "0");
    EXPECT_EQ(text(Role::CurrentRecordLabel), "1");
    QTest::mouseMove(grid->viewport(), QPoint(30, 30));
    EXPECT_EQ(text(Role::CurrentRecordLabel), "-1");
    EXPECT_EQ(gridRows(), 0);
}

TEST_F(GridTest, MovingAColumnRefreshesTheCounters) {
    open(20);
    for (int i = 0; i < 2; ++i) click(Role::NextRecordButton);
    retype(Role::FrequencyBox, "Monthly");  // the cursor goes back to the first row; the label stays
    ASSERT_EQ(text(Role::CurrentRecordLabel), "3");
    grid->horizontalHeader()->moveSection(0, 4);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "1");
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(0), 4);
}

TEST_F(GridTest, ARecordSetLoopTouchesTheViewOncePerTurnOfTheEventLoop) {
    createLibrary(numberedJournals(3000));
    RecordSet& journals = openWindowOnOwnDatabase().journals;
    showGrid();
    QSignalSpy moves(grid->selectionModel(), &QItemSelectionModel::currentChanged);
    while (!journals.eof()) journals.next();
    EXPECT_EQ(moves.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(currentRow(), 2999);
    EXPECT_EQ(text(Role::CurrentRecordLabel), "1");  // the counters follow grid events only
}

TEST_F(GridTest, OneResetPerSearchKeystroke) {
    open(200);
    QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
    retype(Role::SearchEdit, "77");
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(gridRows(), 2);  // "Journal 77" and "Journal 177"
}

TEST_F(WindowTest, GridModelStaysConsistentThroughFiltersAppendsAndEdits) {
    createLibrary();
    RecordSet& journals = openWindowOnOwnDatabase().journals;
    auto* grid = control<QTableView>(Role::Grid);
    QAbstractItemModelTester tester(grid->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    retype(Role::CategoryBox, "Physics");
    retype(Role::SearchEdit, "optic");
    retype(Role::SearchEdit, "");
    journals.append();
    journals.setFieldAsString("Title", "Appended Optics");
    journals.setFieldAsString("category", "Physics");
    journals.post();
    journals.first();
    journals.edit();
    journals.setFieldAsString("Title", "Edited Optics");
    journals.post();
    QCoreApplication::processEvents();
    EXPECT_EQ(gridRows(), 5);
    const QAbstractItemModel* model = grid->model();
    EXPECT_EQ(model->index(0, 0).data().toString(), "Edited Optics");
    EXPECT_EQ(model->index(4, 0).data().toString(), "Appended Optics");
    EXPECT_EQ(text(Role::RecordCountLabel), "4");  // the import refreshes no counter itself
}

TEST_F(WindowTest, GridShowsTheDesignedColumnsReadOnly) {
    createLibrary();
    openWindow();
    const QAbstractItemModel* model = control<QTableView>(Role::Grid)->model();
    ASSERT_EQ(model->columnCount(), 17);
    const QStringList titles = {"Journal Title",
                                "ISSN",
                                "E-ISSN",
                                "Frequently",
                                "IF",
                                "Total Cites",
                                "IF without Journal Self Cites",
                                "Q",
                                "Science Citation Index",
                                "Science Citation Index Expanded",
                                "Emerging Sources Citation Index",
                                "Arts Humanities Citation Index",
                                "Current Contents 1",
                                "Current Contents 2",
                                "Address",
                                "category",
                                "subject"};
    for (int column = 0; column < 17; ++column) {
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), titles[column]);
        EXPECT_FALSE(model->index(0, column).flags() & Qt::ItemIsEditable);
    }
    const QModelIndex first = model->index(0, 0);
    EXPECT_EQ(first.data().toString(), "Journal of Applied Optics");
    EXPECT_EQ(model->index(0, 8).data().toString(), "True");
    EXPECT_EQ(model->index(0, 9).data().toString(), "False");
    EXPECT_EQ(model->index(0, 14).data().toString(), "Elsevier, Amsterdam");
    EXPECT_EQ(
        model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
        Qt::AlignHCenter);
    EXPECT_EQ(
        model->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
        Qt::AlignLeft);
}

TEST_F(WindowTest, GridFindsItsFieldsByNameInAnyOrderAndCase) {
    // The same fields, declared in another order and letter case.
    execSql(
        databasePath(),
        "CREATE TABLE journals (SUBJECT TEXT(255), category TEXT(255), address MEMO, "
        "Current_Contents2 TEXT(255), Current_Contents1 TEXT(255), "
        "\"Arts Humanities Citation Index\" BOOLEAN, \"Emerging Sources Citation Index\" BOOLEAN, "
        "\"Science Citation Index Expanded\" BOOLEAN, \"Science Citation Index\" BOOLEAN, q TEXT(255), "
        "\"Impact Factor without Journal Self Cites\" TEXT(255), \"Total Cites\" TEXT(255), IF TEXT(255), "
        "Frequently TEXT(255), \"e-issn\" TEXT(255), issn TEXT(255), title TEXT(255));"
        "CREATE TABLE jcr2018 (ISSN TEXT(255));"
        "CREATE TABLE JCRQ1 (ISSN TEXT(255)); CREATE TABLE JCRQ2 (ISSN TEXT(255));"
        "CREATE TABLE JCRQ3 (ISSN TEXT(255)); CREATE TABLE JCRQ4 (ISSN TEXT(255));"
        "INSERT INTO journals (title, issn, SUBJECT, category) VALUES ('Reordered', '9999-0001', 'Optics', "
        "'Physics');");
    writeProgramFile("lists/categories.txt", "Physics\r\n");
    writeProgramFile("lists/ferequently.txt", "");
    openWindow();
    EXPECT_TRUE(prompts.shown().empty());
    const QAbstractItemModel* model = control<QTableView>(Role::Grid)->model();
    EXPECT_EQ(model->index(0, 0).data().toString(), "Reordered");
    EXPECT_EQ(model->index(0, 1).data().toString(), "9999-0001");
    EXPECT_EQ(model->index(0, 16).data().toString(), "Optics");
    retype(Role::SubjectBox, "Optics");
    EXPECT_EQ(text(Role::RecordCountLabel), "1");
}

}  // namespace
}  // namespace lumaref::test
