// A ranking file imported through the window: told by its header, stored whole, said in the status bar;
// a CSV file that is no ranking file Lumaref reads is refused. What the files hold is the core's.
#include <QDir>

#include "app/window_fixture.h"
#include "support/case_name.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

struct ImportCase {
    const char* name;
    const char* file;
    std::string bytes;
    QStringList messages;
    QStringList errors;
    QString status;
    const char* recorded;  // the view's sources and rows afterwards
};
void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.name; }

class RankingImportTest : public WindowTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(RankingImportTest, StoresTheFileItsHeaderNames) {
    createLibrary();
    openWindow();
    enterAdminMode();
    const std::string path = QDir::currentPath().toStdString() + "/" + GetParam().file;
    writeFile(path, GetParam().bytes);
    prompts.dialogAnswers.push_back(QString::fromStdString(path));
    click(Role::BrowseButton);
    click(Role::ImportButton);
    EXPECT_EQ(prompts.errors(), GetParam().errors);
    EXPECT_EQ(prompts.messages(), GetParam().messages);
    if (!GetParam().status.isEmpty()) {
        EXPECT_EQ(statusText(), GetParam().status);
    }
    EXPECT_EQ(queryText(databasePath(),
                        "SELECT ifnull(group_concat(DISTINCT source), '') || ' ' || count(*) FROM "
                        "journal_rankings"),
              GetParam().recorded);
    // A JCR export also replaced the tables the updates read, and the window reads them anew.
    EXPECT_EQ(window().database().impactFactors.recordCount(),
              std::stoi(queryText(databasePath(), "SELECT count(*) FROM jcr2018")));
}

INSTANTIATE_TEST_SUITE_P(
    Window, RankingImportTest,
    ::testing::Values(
        ImportCase{"SjrDownload",
                   "scimagojr 2023.csv",
                   "\xEF\xBB\xBFTitle;Issn;SJR;SJR Best Quartile;H index;Categories;Total Docs. (2023)\n"
                   "Applied Optics;11110001;1,5;Q1;10;Optics (Q1);5\n",
                   {"Finish!"},
                   {},
                   "Recorded 4 figures of 1 journal as SJR 2023; 0 rows without an ISSN.",
                   "SJR 4"},
        ImportCase{
            "JcrExport",
            "JCR.csv",
            "\"Journal Data Filtered By: Selected JCR Year: 2023\"\r\n"
            "\"Journal name\",\"ISSN\",\"eISSN\",\"Category\",\"Total Citations\",\"2023 JIF\","
            "\"JIF Quartile\"\r\n\"Applied Optics\",\"1111-0001\",\"2222-0001\",\"OPTICS\",\"100\",\"2.7\","
            "\"Q1\"\r\n",
            {"Finish!"},
            {},
            "Recorded 3 figures of 1 journal as JCR 2023; 0 rows without an ISSN.",
            "JCR 3"},
        ImportCase{
            "UnknownCsv",
            "Physics/addresses.csv",
            "Name,Street\nA,B\n",
            {},
            {"The file \"addresses.csv\" is not a ranking file Lumaref reads: its columns are \"Name\", "
             "\"Street\"; expected a citation reports (JCR) export: \"Journal name\", \"ISSN\", \"eISSN\", "
             "\"Total Citations\", \"<year> JIF\" and \"JIF Quartile\"; an SJR journal-rank download: "
             "\"Title\", \"Issn\", \"SJR\", \"SJR Best Quartile\", \"H index\" and \"Categories\"; a DOAJ "
             "journal CSV: \"Journal title\", \"Journal ISSN (print version)\", \"Journal EISSN (online "
             "version)\" and \"APC\"; an own list: \"ISSN\" or \"E-ISSN\" (with any other columns). Nothing "
             "was loaded."},
            "",
            " 0"}),
    test::CaseName());

}  // namespace
}  // namespace lumaref::test
