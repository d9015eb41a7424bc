// Starting from nothing: a new database, ranking tables loaded from CSV exports, the window on top.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/window_fixture.h"
#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref::test {
namespace {

// Shaped like the citation database's export: a title line, extra columns, a quoted title with a
// comma and a figure with a thousands separator, a copyright footer.
const char* const kJcrExport =
    "Journal Data Filtered By:  Selected JCR Year: 2018 Selected Editions: SCIE,SSCI\r\n"
    "Rank,Full Journal Title,Total Cites,Journal Impact Factor,Eigenfactor Score,ISSN,"
    "Impact Factor without Journal Self Cites\r\n"
    "1,\"Optics, Lasers and Light\",\"32,500\",1.50,0.05,1111-0001,1.20\r\n"
    "2,Photonics Letters,812,2.000,0.01,2222-0002,1.900\r\n"
    "3,Emerging Optics,40,0.300,0.001,1111-0003,0.250\r\n"
    "\r\n"
    "Copyright (c) 2019 Clarivate Analytics\r\n";

struct QuartileFile {
    const char* table;
    const char* csv;
};
const std::vector<QuartileFile> kQuartiles = {
    {"JCRQ1", "Rank;Journal Title;ISSN\n1;Photonics Letters;2222-0002\n"},
    {"JCRQ2", "Rank,Journal Title,ISSN\n1,\"Optics, Lasers and Light\",1111-0001\n"},
    {"JCRQ3", "\"Quartile 3, 2018\"\nJournal Title,ISSN\nNone,0000-0000\n"},
    {"JCRQ4", "ISSN\tJournal Title\n1111-0003\tEmerging Optics\n"},
};

// Four journals: one matched by ISSN, one by E-ISSN, one in the Emerging Sources index, one unranked.
const std::vector<TestJournal> kJournals = {
    {"Optics, Lasers and Light", "Physics", "Optics", "Monthly", "1111-0001", "9999-0001", "", "", 1},
    {"Photonics Letters", "Physics", "Optics", "Weekly", "1111-0002", "2222-0002", "", "", 2},
    {"Emerging Optics", "Physics", "Optics", "Monthly", "1111-0003", "", "7.7", "", 3},
    {"Unranked Review", "Physics", "Optics", "Monthly", "1111-0004", "", "", "", 1},
};

class RankingTablesTest : public WindowTest {
protected:
    int convert(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = runConvertInvocation(parseConvertArguments(args), out, err, false);
        EXPECT_EQ(status, 0) << err.str();
        return status;
    }

    // What an administrator does: a new database, the list folders, the ranking tables, the journals.
    void startFromNothing() {
        ASSERT_EQ(convert({"--new", databasePath()}), 0);
        writeProgramFile("lists/categories.txt", "Physics\r\n");
        writeProgramFile("lists/ferequently.txt", "Monthly\r\nWeekly\r\n");
        writeProgramFile("lists/subjects/Physics.txt", "Optics\r\n");
        writeFile(programDir() + "/jcr2018.csv", kJcrExport);
        ASSERT_EQ(convert({"--csv", programDir() + "/jcr2018.csv", "--table", "jcr2018", databasePath()}), 0);
        for (const QuartileFile& quartile : kQuartiles) {
            const std::string path = programDir() + "/" + quartile.table + ".csv";
            writeFile(path, quartile.csv);
            ASSERT_EQ(convert({"--csv", path, "--table", quartile.table, "--quiet", databasePath()}), 0);
        }
        std::string sql;
        for (const TestJournal& journal : kJournals) sql += journalRowSql(journal);
        execSql(databasePath(), sql);
    }

    std::string journalField(const char* issn, const char* field) {
        return queryText(databasePath(), std::string("SELECT \"") + field +
                                             "\" FROM journals WHERE ISSN = " + sqlQuoted(issn));
    }
};

TEST_F(RankingTablesTest, TheWindowOpensOnTheNewDatabaseAndTheRecordSetsReadTheExactFigures) {
    startFromNothing();
    openWindow();
    EXPECT_TRUE(prompts.errors().isEmpty()) << prompts.errors().join("\n").toStdString();
    EXPECT_EQ(text("Label7"), "4");

    // Read as the updates read them: by name, as text, through the record sets of the window's queries.
    Connection connection("Data Source=Database.mdb;");
    RecordSet ranking("ADOQuery2", connection, "jcr2018");
    ranking.open();
    EXPECT_EQ(ranking.recordCount(), 3);
    ranking.setFilter("ISSN ='1111-0001'");
    ranking.setFiltered(true);
    ASSERT_EQ(ranking.recordCount(), 1);
    EXPECT_EQ(ranking.fieldAsString("Journal Impact Factor"), "1.50");
    EXPECT_EQ(ranking.fieldAsString("Total Cites"), "32,500");
    EXPECT_EQ(ranking.fieldAsString("Impact Factor without Journal Self Cites"), "1.20");
    EXPECT_EQ(ranking.fieldAsString("Full Journal Title"), "Optics, Lasers and Light");

    const char* const expectedIssn[] = {"2222-0002", "1111-0001", "0000-0000", "1111-0003"};
    for (int q = 0; q < 4; ++q) {
        RecordSet quartile("ADOQuery" + std::to_string(q + 3), connection, kQuartiles[q].table);
        quartile.open();
        ASSERT_EQ(quartile.recordCount(), 1) << kQuartiles[q].table;
        EXPECT_EQ(quartile.fieldAsString("ISSN"), expectedIssn[q]) << kQuartiles[q].table;
    }
}

// Runs the real "Update IF (2018)" and "Update Q (2018)" buttons on the loaded tables.
TEST_F(RankingTablesTest, BothUpdatesCopyTheLoadedFiguresIntoTheJournals) {
    startFromNothing();
    openWindow();
    activateWindow();
    enterAdminMode();

    click("BitBtn3");
    click("BitBtn7");
    EXPECT_EQ(prompts.messages(), QStringList({"Finish!", "Finish!"}));
    EXPECT_TRUE(prompts.errors().isEmpty()) << prompts.errors().join("\n").toStdString();

    EXPECT_EQ(journalField("1111-0001", "IF"), "1.50");
    EXPECT_EQ(journalField("1111-0001", "Total Cites"), "32,500");
    EXPECT_EQ(journalField("1111-0001", "Impact Factor without Journal Self Cites"), "1.20");
    EXPECT_EQ(journalField("1111-0001", "Q"), "Q2");
    // Matched through its E-ISSN, in both updates.
    EXPECT_EQ(journalField("1111-0002", "IF"), "2.000");
    EXPECT_EQ(journalField("1111-0002", "Q"), "Q1");
    // The Emerging Sources journal keeps its impact factor; its quartile is still set.
    EXPECT_EQ(journalField("1111-0003", "IF"), "7.7");
    EXPECT_EQ(journalField("1111-0003", "Q"), "Q4");
    EXPECT_EQ(journalField("1111-0004", "IF"), "");
    EXPECT_EQ(journalField("1111-0004", "Q"), "");
}

}  // namespace
}  // namespace lumaref::test
