#include "app/window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <algorithm>

#include "app/admin_access_code.h"
#include "db/database_file.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"
#include "picklists/list_folder.h"
#include "picklists/server_lists.h"
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

const Role Role::ImportFileLabel{"Label1"};
const Role Role::ImportFileEdit{"Edit1"};
const Role Role::BrowseButton{"BitBtn1"};
const Role Role::ImportCategoryLabel{"Label2"};
const Role Role::ImportCategoryEdit{"Edit2"};
const Role Role::ImportSubjectLabel{"Label3"};
const Role Role::ImportSubjectEdit{"Edit3"};
const Role Role::ImportButton{"BitBtn2"};
const Role Role::CategoryBox{"ComboBox1"};
const Role Role::SubjectBox{"ComboBox2"};
const Role Role::FrequencyBox{"ComboBox3"};
const Role Role::UpdateListsButton{"BitBtn5"};
const Role Role::UpdateCategoriesButton{"BitBtn4"};
const Role Role::UpdateFrequenciesButton{"BitBtn6"};
const Role Role::SciButton{"RadioButton1"};
const Role Role::ScieButton{"RadioButton2"};
const Role Role::EsciButton{"RadioButton3"};
const Role Role::AhciButton{"RadioButton4"};
const Role Role::AllIndexesButton{"RadioButton5"};
const Role Role::FirstRecordButton{"nbFirst"};
const Role Role::PriorRecordButton{"nbPrior"};
const Role Role::NextRecordButton{"nbNext"};
const Role Role::LastRecordButton{"nbLast"};
const Role Role::SaveButton{"BitBtn8"};
const Role Role::SearchFieldBox{"ComboBox4"};
const Role Role::SearchTextLabel{"Label13"};
const Role Role::SearchEdit{"Edit4"};
const Role Role::Grid{"DBGrid1"};
const Role Role::RecordCountLabel{"Label7"};
const Role Role::CurrentRecordLabel{"Label10"};
const Role Role::ProgressBar{"ProgressBar1"};
const Role Role::UpdateQuartilesButton{"BitBtn7"};
const Role Role::UpdateImpactFactorsButton{"BitBtn3"};
const Role Role::StatusBar{"StatusBar1"};

void PrintTo(const Role& role, std::ostream* out) { *out << role.objectName; }

const std::vector<Role> kAdminControls = {
    Role::BrowseButton,        Role::ImportButton,          Role::UpdateImpactFactorsButton,
    Role::UpdateListsButton,   Role::UpdateQuartilesButton, Role::ImportFileEdit,
    Role::ImportCategoryEdit,  Role::ImportSubjectEdit,     Role::ImportFileLabel,
    Role::ImportCategoryLabel, Role::ImportSubjectLabel};

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

void WindowTest::copyLibraryToServer(const std::string& conninfo) {
    const DatabaseFile source(databasePath(), DatabaseFile::Mode::ReadOnly);
    PgConnection target(conninfo);
    inOneTransaction(target, [&] {
        copySqliteToPostgres(source.handle(), target, false);
        createServerListTable(target, false);
        storeServerLists(target, readListFolder(programDir() + "/lists"));
    });
}

MainWindow& WindowTest::openWindow() {
    window_ = std::make_unique<MainWindow>(prompts, QString::fromStdString(programDir() + "/lists/"));
    return *window_;
}

JournalDatabase& WindowTest::openWindowOnOwnDatabase(const std::string& connectionString,
                                                     const std::string& origin) {
    database_ = std::make_unique<JournalDatabase>(connectionString);
    database_->connectionOrigin = origin;
    window_ =
        std::make_unique<MainWindow>(prompts, *database_, QString::fromStdString(programDir() + "/lists/"));
    return *database_;
}

void WindowTest::activateWindow() {
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
}

QLineEdit* WindowTest::lineEditOf(Role editOrBox) {
    if (auto* box = window_->findChild<QComboBox*>(QString::fromLatin1(editOrBox.objectName)))
        return box->lineEdit();
    return control<QLineEdit>(editOrBox);
}

void WindowTest::retype(Role editOrBox, const QString& text) {
    QLineEdit* edit = lineEditOf(editOrBox);
    if (!edit->text().isEmpty()) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
    }
    // Key by key with the character as the event's text, so any script types as it would for a user.
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void WindowTest::pick(Role comboBox, const QString& item) {
    auto* box = control<QComboBox>(comboBox);
    const int row = box->findText(item, Qt::MatchExactly);
    ASSERT_GE(row, 0) << item.toStdString();
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); }));
    const QPoint where = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
}

void WindowTest::enterAdminMode() {
    retype(Role::SearchFieldBox, "Admin Mode");
    retype(Role::SearchEdit,
           QString::fromUtf8(kAdminAccessCode.data(), static_cast<qsizetype>(kAdminAccessCode.size())));
    ASSERT_EQ(enabledAdminControls(), kAdminControls);
}

std::vector<Role> WindowTest::enabledAdminControls() {
    std::vector<Role> enabled;
    for (const Role role : kAdminControls) {
        if (control(role)->isEnabled()) enabled.push_back(role);
    }
    return enabled;
}

QStringList WindowTest::items(Role box) {
    QStringList items;
    const auto* combo = control<QComboBox>(box);
    for (int i = 0; i < combo->count(); ++i) items.append(combo->itemText(i));
    return items;
}

void WindowTest::click(Role button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }

QString WindowTest::statusText() { return control<QStatusBar>(Role::StatusBar)->currentMessage(); }

int WindowTest::gridRows() { return control<QTableView>(Role::Grid)->model()->rowCount(); }

}  // namespace lumaref::test
