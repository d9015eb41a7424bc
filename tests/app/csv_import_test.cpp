// The master list as downloaded today (CSV), imported through the window: Browse, Import, the
// database file, the message and the status bar.
#include <QDir>

#include "app/window_fixture.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

class CsvImportTest : public WindowTest {
protected:
    void SetUp() override {
        createLibrary();
        openWindow();
        enterAdminMode();
    }
    void importFile(const std::string& relative, std::string_view bytes) {
        const std::string path = QDir::currentPath().toStdString() + "/" + relative;
        writeFile(path, bytes);
        prompts.dialogAnswers.push_back(QString::fromStdString(path));
        click(Role::BrowseButton);
        click(Role::ImportButton);
    }
    std::string stored(const std::string& sql) { return queryText(databasePath(), sql); }
};

TEST_F(CsvImportTest, LoadsOneRecordPerCategoryAndMergesTheNextIndexIntoIt) {
    // Header in another case and order, with a column the import does not use; a quoted address
    // with a comma; a row without ISSN, one without either number, one without categories.
    importFile(
        "Physics/Science Citation Index Expanded (SCIE).csv",
        "\xEF\xBB\xBF\"journal title\",\"ISSN\",\"eISSN\",\"Publisher name\",\"Publisher address\","
        "\"Languages\",\"Web of Science Categories\",\"Extra\"\r\n"
        "\"Acta Optica\",\"1000-0001\",\"2000-0001\",\"OSA\",\"2010 Massachusetts Ave. NW, Washington\","
        "\"English\",\"Optics | Physics, Applied\",\"x\"\r\n"
        "\"Online Photonics\",\"\",\"2000-0002\",\"\",\"Berlin\",\"English\",\"Optics\",\"\"\r\n"
        "\"Nameless Letters\",\"\",\"\",\"Press\",\"\",\"English\",\"Optics\",\"\"\r\n"
        "\"Uncategorised\",\"1000-0004\",\"\",\"Press\",\"Rome\",\"Italian\",\"\",\"\"\r\n");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 5 recordes were imported."}));
    // Optics Letters carries the SCIE flag but is not in the file: asked, answered No by default.
    EXPECT_EQ(prompts.shown().back().kind, ScriptedPrompts::Kind::ClearFlagsQuestion);
    EXPECT_EQ(prompts.shown().back().text, "1 Science Citation Index Expanded Physics");
    EXPECT_EQ(statusText(),
              "Master list: 5 records added, 0 merged into journals already stored, 1 rows "
              "without ISSN or eISSN; 1 journals of Physics with the flag are not in the file, 0 cleared");
    EXPECT_EQ(
        stored("SELECT \"Science Citation Index Expanded\" FROM journals WHERE Title = 'Optics Letters'"),
        "1");
    // The rows themselves are the tool's (master_list_paths_test); here, the category from the folder,
    // beside the library's four Physics journals (one of them in ESCI).
    EXPECT_EQ(stored("SELECT count(*) FROM journals WHERE category = 'Physics'"), "9");

    // The next index's list, named by no index: the window asks. Acta Optica's Optics record and
    // Online Photonics (by its E-ISSN) are stored already and get the flag; the journal without
    // numbers cannot be matched and comes again. Photonics has left the ESCI: its flag is cleared.
    prompts.clear();
    prompts.indexAnswers.push_back("ESCI");
    prompts.clearFlagsAnswers.push_back(true);
    importFile(
        "Physics/esci-list.csv",
        "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n"
        "Acta Optica,1000-0001,2000-0001,OSA,Washington,English,Optics\n"
        "Online Photonics,,2000-0002,,Berlin,English,Optics\n"
        "Nameless Letters,,,Press,,English,Optics\n");
    EXPECT_EQ(prompts.errors(), QStringList());
    ASSERT_FALSE(prompts.shown().empty());
    EXPECT_EQ(prompts.shown()[1].kind, ScriptedPrompts::Kind::IndexDialog);
    EXPECT_EQ(prompts.shown()[1].text, "esci-list.csv");
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 1 recordes were imported."}));
    EXPECT_EQ(statusText(),
              "Master list: 1 records added, 2 merged into journals already stored, 1 rows "
              "without ISSN or eISSN; 1 journals of Physics with the flag are not in the file, 1 cleared");
    EXPECT_EQ(stored("SELECT count(*) || ' ' || sum(\"Emerging Sources Citation Index\") FROM journals "
                     "WHERE category = 'Physics'"),
              "10 3");
    EXPECT_EQ(stored("SELECT \"Emerging Sources Citation Index\" FROM journals WHERE Title = 'Photonics'"),
              "0");
}

// A quote inside an unquoted field is a character of the text; the file loads and the status bar
// names the lines where that happened, the message keeping its count.
TEST_F(CsvImportTest, NamesTheLinesOfBareQuotesInTheStatusBar) {
    importFile(
        "Physics/Science Citation Index Expanded (SCIE).csv",
        "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n"
        "Acta 5\" Disks,1000-0001,,OSA,,English,Optics\n"
        "Plain,1000-0002,,OSA,,English,Optics\n"
        "Geo,1000-0003,,OSA,37\xC2\xB0"
        "36'37.8\"N,English,Optics\n");
    EXPECT_EQ(prompts.errors(), QStringList());
    EXPECT_EQ(prompts.messages(), QStringList({"Finish! - 3 recordes were imported."}));
    EXPECT_EQ(
        statusText(),
        "Master list: 3 records added, 0 merged into journals already stored, 0 rows without ISSN or "
        "eISSN; 1 journals of Physics with the flag are not in the file, 0 cleared; a quote inside a field "
        "that does not start with one was read as a character, on lines 2, 4");
    EXPECT_EQ(
        stored("SELECT group_concat(Title || '|' || Address, ' / ') FROM (SELECT * FROM journals WHERE ISSN "
               "LIKE '1000-000_' ORDER BY rowid)"),
        "Acta 5\" Disks|OSA / Plain|OSA / Geo|OSA, 37\xC2\xB0"
        "36'37.8\"N");
}

}  // namespace
}  // namespace lumaref::test
