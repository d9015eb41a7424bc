#include "app/window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <algorithm>

#include "app/admin_access_code.h"
#include "support/temp_database.h"

namespace lumaref::test {

namespace {

void addUnique(std::vector<std::string>& items, const std::string& item) {
    if (!item.empty() && std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
}

std::string listFileText(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += item + "\r\n";
    return text;
}

}  // namespace

const QStringList kAdminControls = {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn5", "BitBtn7", "Edit1",
                                    "Edit2",   "Edit3",   "Label1",  "Label2",  "Label3"};

const std::vector<TestJournal> kLibrary = {
    {"Journal of Applied Optics", "Physics", "Optics", "Monthly", "1111-0001", "2222-0001", "2.5", "Q1", 1,
     "Elsevier, Amsterdam"},
    {"Optics Letters", "Physics", "Optics", "Weekly", "1111-0002", "2222-0002", "3.1", "Q2", 2,
     "Optica Publishing, Washington"},
    {"Physical Review", "Physics", "Mechanics", "Monthly", "1111-0003", "2222-0003", "8.4", "Q1", 1,
     "American Physical Society"},
    {"Journal of O'Brien Studies", "O'Brien Category", "History", "Quarterly", "1111-0004", "2222-0004",
     "0.7", "Q4", 4, "Cork University Press"},
    {"Chemical Reviews", "Chemistry", "Organic", "Monthly", "1111-0005", "2222-0005", "52.7", "Q1", 3,
     "ACS, Washington"},
    {"Photonics", "Physics", "Optics", "Quarterly", "1111-0006", "2222-0006", "1.9", "Q3", 3, "MDPI, Basel"},
    {"مجلة الفيزياء", "فيزياء", "بصريات", "Monthly", "1111-0007", "2222-0007", "0.4", "", 0, "طهران"},
};

std::string journalRowSql(const TestJournal& j) {
    auto flag = [&j](int index) { return j.index == index ? std::string("1") : std::string("0"); };
    return "INSERT INTO journals (Title, ISSN, \"E-ISSN\", Frequently, IF, Q, \"Science Citation Index\", "
           "\"Science Citation Index Expanded\", \"Emerging Sources Citation Index\", "
           "\"Arts Humanities Citation Index\", Address, category, subject) VALUES (" +
           sqlQuoted(j.title) + ", " + sqlQuoted(j.issn) + ", " + sqlQuoted(j.eissn) + ", " +
           sqlQuoted(j.frequency) + ", " + sqlQuoted(j.impactFactor) + ", " + sqlQuoted(j.quartile) + ", " +
           flag(1) + ", " + flag(2) + ", " + flag(3) + ", " + flag(4) + ", " + sqlQuoted(j.address) + ", " +
           sqlQuoted(j.category) + ", " + sqlQuoted(j.subject) + ");\n";
}

WindowTest::WindowTest() : cwd_(dir_.path()) {}

void WindowTest::createLibrary(const std::vector<TestJournal>& journals) {
    std::string sql = "BEGIN;\n";
    std::vector<std::string> categories;
    std::vector<std::string> frequencies;
    for (const TestJournal& journal : journals) {
        sql += journalRowSql(journal);
        addUnique(categories, journal.category);
        addUnique(frequencies, journal.frequency);
    }
    createDatabase(databasePath(), sql + "COMMIT;\n");
    writeProgramFile("lists/categories.txt", listFileText(categories));
    writeProgramFile("lists/ferequently.txt", listFileText(frequencies));
}

void WindowTest::writeProgramFile(std::string_view relative, std::string_view bytes) {
    writeFile(programDir() + "/" + std::string(relative), bytes);
}

MainWindow& WindowTest::openWindow() {
    window_ = std::make_unique<MainWindow>(prompts, QString::fromStdString(programDir() + "/lists/"));
    return *window_;
}

JournalDatabase& WindowTest::openWindowOnOwnDatabase(const std::string& connectionString) {
    database_ = std::make_unique<JournalDatabase>(connectionString);
    window_ =
        std::make_unique<MainWindow>(prompts, *database_, QString::fromStdString(programDir() + "/lists/"));
    return *database_;
}

void WindowTest::activateWindow() {
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
}

QLineEdit* WindowTest::lineEditOf(const char* name) {
    if (auto* box = window_->findChild<QComboBox*>(QString::fromLatin1(name))) return box->lineEdit();
    return control<QLineEdit>(name);
}

void WindowTest::retype(const char* name, const QString& text) {
    QLineEdit* edit = lineEditOf(name);
    if (!edit->text().isEmpty()) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
    }
    // Key by key with the character as the event's text, so any script types as it would for a user.
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void WindowTest::pick(const char* comboName, const QString& item) {
    auto* box = control<QComboBox>(comboName);
    const int row = box->findText(item, Qt::MatchExactly);
    ASSERT_GE(row, 0) << item.toStdString();
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); }));
    const QPoint where = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
}

void WindowTest::enterAdminMode() {
    retype("ComboBox4", "Admin Mode");
    retype("Edit4",
           QString::fromUtf8(kAdminAccessCode.data(), static_cast<qsizetype>(kAdminAccessCode.size())));
    ASSERT_EQ(enabledAdminControls(), kAdminControls);
}

QStringList WindowTest::enabledAdminControls() {
    QStringList names;
    for (const QString& name : kAdminControls) {
        if (control<QWidget>(name.toLatin1().constData())->isEnabled()) names.append(name);
    }
    return names;
}

void WindowTest::click(const char* name) {
    QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
}

QString WindowTest::statusText() { return control<QStatusBar>("StatusBar1")->currentMessage(); }

int WindowTest::gridRows() { return control<QTableView>("DBGrid1")->model()->rowCount(); }

}  // namespace lumaref::test
