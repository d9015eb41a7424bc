// The journal-list export through the window: the rows shown become the bytes on disk.
#include <QDir>
#include <QHeaderView>
#include <QTableView>

#include <filesystem>

#include "app/window_fixture.h"
#include "support/file_size_limit.h"

namespace lumaref::test {
namespace {

const std::string kSeparator = std::string(101, '-') + "\r\n\r\n";

class ExportTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        openWindow();
    }
    std::string path(const std::string& relative) {
        return QDir::currentPath().toStdString() + "/" + relative;
    }
    void exportTo(const std::string& relative) {
        prompts.dialogAnswers.push_back(QString::fromStdString(path(relative)));
        click(Role::SaveButton);
    }
    void moveToRow(int recNo) {
        while (journals().recNo() < recNo) click(Role::NextRecordButton);
    }
    int recNo() { return journals().recNo(); }
};

TEST_F(ExportTest, OneJournalIsSeventeenLinesTheSeparatorAndAnEmptyLine) {
    retype(Role::CategoryBox, "Chemistry");
    exportTo("Journal-list.txt");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(readFile(path("Journal-list.txt")),
              "Title = Chemical Reviews\r\n"
              "ISSN = 1111-0005\r\n"
              "E-ISSN = 2222-0005\r\n"
              "Frequently = Monthly\r\n"
              "IF = 52.7\r\n"
              "Total Cites = \r\n"
              "Impact Factor without Journal Self Cites = \r\n"
              "Q = Q1\r\n"
              "Science Citation Index = False\r\n"
              "Science Citation Index Expanded = False\r\n"
              "Emerging Sources Citation Index = True\r\n"
              "Arts Humanities Citation Index = False\r\n"
              "Current_Contents1 = \r\n"
              "Current_Contents2 = \r\n"
              "Address = ACS, Washington\r\n"
              "category = Chemistry\r\n"
              "subject = Organic\r\n" +
                  kSeparator);
}

TEST_F(ExportTest, WritesTheRowsShownInOrderAndEndsOnTheFirstRow) {
    activateWindow();
    retype(Role::CategoryBox, "Physics");
    moveToRow(3);
    const QString label10 = text(Role::CurrentRecordLabel);
    exportTo("physics.txt");
    EXPECT_EQ(prompts.errors(), QStringList());
    const std::string bytes = readFile(path("physics.txt"));
    std::vector<std::string> titles;
    for (std::size_t at = 0; (at = bytes.find("Title = ", at)) != std::string::npos; at += 8)
        titles.push_back(bytes.substr(at + 8, bytes.find("\r\n", at) - at - 8));
    EXPECT_EQ(titles, (std::vector<std::string>{"Journal of Applied Optics", "Optics Letters",
                                                "Physical Review", "Photonics"}));
    EXPECT_EQ(statusText(), "Saved 4 journals to " + QString::fromStdString(path("physics.txt")));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 4 * 19);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 4 * 19);
    EXPECT_EQ(bytes.substr(bytes.size() - kSeparator.size()), kSeparator);
    EXPECT_EQ(recNo(), 1);
    EXPECT_EQ(text(Role::CurrentRecordLabel), label10);  // the counters are not refreshed
    EXPECT_EQ(journals().filter(), "category='Physics'");
}

TEST_F(ExportTest, ValuesStayUnderTheirOwnFieldNamesWhenColumnsAreMoved) {
    retype(Role::CategoryBox, "Chemistry");
    exportTo("before.txt");
    auto* header = control<QTableView>(Role::Grid)->horizontalHeader();
    header->moveSection(0, 16);
    header->moveSection(3, 1);
    exportTo("after.txt");
    EXPECT_EQ(readFile(path("after.txt")), readFile(path("before.txt")));
}

TEST_F(ExportTest, TextIsUtf8WithoutByteOrderMark) {
    retype(Role::CategoryBox, QString::fromUtf8("فيزياء"));
    exportTo("arabic.txt");
    const std::string title = "Title = مجلة الفيزياء\r\n";
    EXPECT_EQ(readFile(path("arabic.txt")).substr(0, title.size()), title);
}

TEST_F(ExportTest, NoRowsGiveAnEmptyFileNotAMissingOne) {
    retype(Role::CategoryBox, "No such category");
    exportTo("empty.txt");
    EXPECT_EQ(prompts.errors(), QStringList());
    ASSERT_TRUE(fileExists(path("empty.txt")));
    EXPECT_EQ(readFile(path("empty.txt")), "");
}

TEST_F(ExportTest, DialogProposesTheDefaultThenTheLastChoiceAndReplacesWithoutAsking) {
    activateWindow();
    writeFile(path("old.txt"), "previous\r\n");
    retype(Role::CategoryBox, "Chemistry");
    exportTo("old.txt");
    click(Role::SaveButton);  // cancelled
    const std::vector<ScriptedPrompts::Shown>& shown = prompts.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, ScriptedPrompts::Kind::SaveDialog);
    EXPECT_EQ(shown[0].text, "Journal-list.txt");
    EXPECT_EQ(shown[1].text, QString::fromStdString(path("old.txt")));
    EXPECT_EQ(readFile(path("old.txt")).substr(0, 25), "Title = Chemical Reviews\r");
}

TEST_F(ExportTest, CancelTouchesNothingAndKeepsTheCurrentRow) {
    activateWindow();
    moveToRow(3);
    const auto entries = [] {
        const std::filesystem::directory_iterator all(QDir::currentPath().toStdString());
        return std::distance(begin(all), end(all));
    };
    const auto before = entries();
    click(Role::SaveButton);
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(recNo(), 3);
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_FALSE(fileExists(path("Journal-list.txt")));
}

TEST_F(ExportTest, AFileThatCannotBeCreatedIsReportedWithItsPath) {
    activateWindow();
    moveToRow(3);
    exportTo("nowhere/list.txt");
    EXPECT_EQ(prompts.errors(),
              QStringList({QString::fromStdString("Cannot create file \"" + path("nowhere/list.txt") +
                                                  "\". No such file or directory.")}));
    EXPECT_EQ(recNo(), 1);
}

// A disk that takes fewer bytes than written: the previous file stays whole, no temporary is left.
TEST_F(ExportTest, AShortWriteIsAStreamWriteError) {
    writeFile(path("out/list.txt"), "previous\r\n");
    {
        FileSizeLimit limit(1024);
        exportTo("out/list.txt");
    }
    EXPECT_EQ(prompts.errors(), QStringList({"Stream write error."}));
    EXPECT_EQ(readFile(path("out/list.txt")), "previous\r\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path("out")))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"list.txt"});
}

}  // namespace
}  // namespace lumaref::test
