#include <QApplication>
#include <QTest>

#include "app/window_fixture.h"
#include "support/case_name.h"

namespace lumaref::test {
namespace {

TEST_F(WindowTest, EnterWalksFromCategoryToSubjectToFrequencyToSearch) {
    createLibrary();
    openWindow();
    activateWindow();
    writeProgramFile("lists/subjects/Physics.txt", "Optics\r\n");
    retype(Role::CategoryBox, "Physics");
    retype(Role::SubjectBox, "Optics");
    retype(Role::FrequencyBox, "Monthly");
    const QString filter = QString::fromStdString(journals().filter());
    control(Role::CategoryBox)->setFocus();
    for (const Role next : {Role::SubjectBox, Role::FrequencyBox, Role::SearchEdit, Role::SearchEdit}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), control<QWidget>(next));
    }
    // Moving along the chain changes no text, inserts no item and re-applies no filter.
    EXPECT_EQ(control<QComboBox>(Role::CategoryBox)->currentText(), "Physics");
    EXPECT_EQ(control<QComboBox>(Role::SubjectBox)->currentText(), "Optics");
    EXPECT_EQ(control<QComboBox>(Role::FrequencyBox)->currentText(), "Monthly");
    EXPECT_EQ(control<QComboBox>(Role::CategoryBox)->count(), 4);
    EXPECT_EQ(QString::fromStdString(journals().filter()), filter);
    EXPECT_EQ(window().windowTitle(), "Lumaref v 1.0");
}

TEST_F(WindowTest, EnterInAnEmptyCategoryBoxTypedIntoItsLineEditStillMovesOn) {
    createLibrary();
    openWindow();
    activateWindow();
    control(Role::CategoryBox)->setFocus();
    QTest::keyClick(lineEditOf(Role::CategoryBox), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), control(Role::SubjectBox));
}

// Tab follows the designed order, skipping disabled and hidden controls; the radio group is one stop.
struct TabWalk {
    const char* name;
    bool admin;
    const char* stops;
};

void PrintTo(const TabWalk& walk, std::ostream* out) { *out << walk.name; }

class TabOrderTest : public WindowTest, public ::testing::WithParamInterface<TabWalk> {};

TEST_P(TabOrderTest, VisitsTheEnabledControlsInTheDesignedOrder) {
    createLibrary();
    openWindow();
    activateWindow();
    if (GetParam().admin) enterAdminMode();
    control(Role::Grid)->setFocus();
    QStringList stops;
    for (int i = 0; i < 20 && (stops.isEmpty() || stops.back() != Role::Grid.objectName); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(stops.join(' '), GetParam().stops);
}

INSTANTIATE_TEST_SUITE_P(
    Window, TabOrderTest,
    ::testing::Values(
        TabWalk{"User", false, "ComboBox1 ComboBox2 ComboBox3 ComboBox4 Edit4 BitBtn8 RadioButton5 DBGrid1"},
        TabWalk{"Administrator", true,
                "BitBtn1 Edit1 BitBtn2 BitBtn3 Edit2 Edit3 ComboBox1 ComboBox2 BitBtn5 ComboBox3 "
                "ComboBox4 Edit4 BitBtn7 BitBtn8 RadioButton5 DBGrid1"}),
    test::CaseName());

// A character the window itself receives, with no control focused, becomes its whole caption.
struct Keystroke {
    const char* name;
    Qt::Key key;
    const char* caption;
};

void PrintTo(const Keystroke& keystroke, std::ostream* out) { *out << keystroke.name; }

class FormKeyPressTest : public WindowTest, public ::testing::WithParamInterface<Keystroke> {};

TEST_P(FormKeyPressTest, ReplacesTheCaptionWithTheTypedCharacter) {
    createLibrary();
    openWindow();
    activateWindow();
    QApplication::focusWidget()->clearFocus();
    ASSERT_EQ(window().focusWidget(), nullptr);
    QTest::keyClick(&window(), GetParam().key);
    EXPECT_EQ(window().windowTitle(), QString::fromLatin1(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(Window, FormKeyPressTest,
                         ::testing::Values(Keystroke{"Letter", Qt::Key_Q, "q"},
                                           Keystroke{"Digit", Qt::Key_7, "7"},
                                           Keystroke{"Space", Qt::Key_Space, " "},
                                           Keystroke{"Return", Qt::Key_Return, "\r"},
                                           Keystroke{"Backspace", Qt::Key_Backspace, "\b"},
                                           Keystroke{"Escape", Qt::Key_Escape, "\x1b"}),
                         test::CaseName());

TEST_F(WindowTest, CharactersTypedIntoControlsLeaveTheCaption) {
    createLibrary();
    openWindow();
    activateWindow();
    retype(Role::SearchEdit, "x");
    QTest::keyClick(control(Role::Grid), Qt::Key_Z);
    QTest::keyClick(control(Role::SaveButton), Qt::Key_Y);
    QTest::keyClick(lineEditOf(Role::FrequencyBox), Qt::Key_Escape);
    EXPECT_EQ(window().windowTitle(), "Lumaref v 1.0");
    // A modifier alone types no character.
    QApplication::focusWidget()->clearFocus();
    QTest::keyClick(&window(), Qt::Key_Shift);
    EXPECT_EQ(window().windowTitle(), "Lumaref v 1.0");
}

}  // namespace
}  // namespace lumaref::test
