#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "convert/csv_table_load.h"
#include "db/connection.h"
#include "db/record_set.h"
#include "ranking/impact_factor_update.h"
#include "ranking/quartile_update.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "text/stop_request.h"

namespace lumaref {
namespace {

using test::errorOf;
using test::queryText;

// A ranking export as the citation database writes it: a title line, extra columns, quoted titles
// with commas, a copyright footer.
const std::string kJcrExport =
    "Journal Data Filtered By:  Selected JCR Year: 2018 Selected Editions: SCIE,SSCI\r\n"
    "Rank,Full Journal Title,Total Cites,Journal Impact Factor,Eigenfactor Score,ISSN,"
    "Impact Factor without Journal Self Cites\r\n"
    "1,\"CA-A CANCER JOURNAL FOR CLINICIANS, THE\",32500,223.679,0.05,0007-9235,1.50\r\n"
    "2,\"Optics, \"\"Lasers\"\"\r\nand Light\",100,1.50,0.1,1234-567x,0.900\r\n"
    "3,Acta Physica,7,0.010,Not Available,2345-6789,\r\n"
    "\r\n"
    "Copyright (c) 2019 Clarivate Analytics\r\n"
    "\"By exporting the selected data, you agree to the terms of use\"\r\n";

class CsvLoadTest : public ::testing::Test {
protected:
    CsvLoadTest() {
        test::createDatabase(database(), "INSERT INTO jcr2018 (ISSN) VALUES ('old-1'), ('old-2');");
    }

    std::string database() const { return dir_.file("Database.mdb"); }
    std::string csv(std::string_view bytes, const char* name = "ranking.csv") const {
        std::string path = dir_.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    CsvLoadReport load(const std::string& csvPath, const char* table = "jcr2018", bool append = false) {
        CsvLoadRequest request{csvPath, database(), table, append, {}};
        return loadCsvIntoTable(request);
    }
    // Every row of a table, fields joined with "|", in row order.
    std::string rowsOf(const char* table, const char* columns) {
        return queryText(database(), std::string("SELECT group_concat(r, ';') FROM (SELECT ") + columns +
                                         " AS r FROM \"" + table + "\" ORDER BY rowid)");
    }

    test::TempDir dir_;
};

TEST_F(CsvLoadTest, LoadsARankingExportExactlyAndReportsWhatItSkipped) {
    const CsvLoadReport report = load(csv(kJcrExport));

    EXPECT_EQ(rowsOf("jcr2018",
                     "ISSN || '|' || \"Journal Impact Factor\" || '|' || \"Total Cites\" || '|' || "
                     "\"Impact Factor without Journal Self Cites\" || '|' || \"Full Journal Title\""),
              "0007-9235|223.679|32500|1.50|CA-A CANCER JOURNAL FOR CLINICIANS, THE;"
              "1234-567x|1.50|100|0.900|Optics, \"Lasers\"\r\nand Light;"
              "2345-6789|0.010|7||Acta Physica");
    // Stored as text, so nothing is rewritten as a number.
    EXPECT_EQ(queryText(database(),
                        "SELECT count(*) FROM jcr2018 WHERE typeof(\"Journal Impact Factor\") <> 'text'"),
              "0");
    EXPECT_EQ(report.rowsLoaded, 3U);
    EXPECT_EQ(report.rowsReplaced, 2U);
    EXPECT_EQ(report.headerLine, 2U);
    EXPECT_EQ(report.linesBeforeHeader, 1U);
    EXPECT_EQ(report.blankLines, 1U);
    ASSERT_EQ(report.notes.size(), 2U);
    EXPECT_EQ(report.notes[0].line, 8U);
    EXPECT_EQ(report.notes[1].text, "By exporting the selected data, you agree to the terms of use");
    EXPECT_EQ(report.linesSkipped(), 4U);
    EXPECT_EQ(report.ignoredColumns, std::vector<std::string>{"Eigenfactor Score"});
    EXPECT_EQ(report.badIssnCount, 1U);
    ASSERT_EQ(report.badIssnExamples.size(), 1U);
    EXPECT_EQ(report.badIssnExamples[0].line, 4U);
    EXPECT_EQ(report.badIssnExamples[0].text, "1234-567x");
}

TEST_F(CsvLoadTest, LinesBeforeTheHeaderAreNotReadAsCsv) {
    const CsvLoadReport report =
        load(csv("\"Quartile 2, \"2018\"\r\n5\" \"disks\r\nISSN,Journal Title\r\n1111-1111,\"A, B\"\r\n"),
             "JCRQ2");
    EXPECT_EQ(report.headerLine, 3U);
    EXPECT_EQ(report.linesBeforeHeader, 2U);
    EXPECT_EQ(rowsOf("JCRQ2", "ISSN || '|' || \"Journal Title\""), "1111-1111|A, B");
}

TEST_F(CsvLoadTest, AppendKeepsTheRowsThereAndReplaceDropsThem) {
    load(csv("Journal Title,ISSN\nA,1111-1111\n"), "JCRQ2");
    load(csv("ISSN;Journal Title\n2222-2222;B\n", "second.csv"), "jcrq2", true);
    EXPECT_EQ(rowsOf("JCRQ2", "ISSN"), "1111-1111;2222-2222");
    const CsvLoadReport report = load(csv("ISSN\n3333-3333\n", "third.csv"), "JCRQ2");
    EXPECT_EQ(report.rowsReplaced, 2U);
    EXPECT_EQ(report.table, "JCRQ2");
    EXPECT_EQ(rowsOf("JCRQ2", "ISSN"), "3333-3333");
}

TEST_F(CsvLoadTest, ReadsWindowsUtf8AndUtf16Files) {
    // Windows-1252: "é" is 0xE9; a byte-order mark must not become part of the first column's name.
    load(csv("Journal Title;ISSN\r\nRevue d'\xE9tudes;1111-1111\r\n"), "JCRQ1");
    load(csv("\xEF\xBB\xBFISSN\tJournal Title\nA\xC3\xA9\t\n", "bom.csv"), "JCRQ3");
    // Saved as "Unicode text": UTF-16 after its byte-order mark.
    load(csv(std::string("\xFF\xFEI\0S\0S\0N\0\r\0\n\0B\0\xE9\0", 18), "unicode.csv"), "JCRQ4");
    EXPECT_EQ(rowsOf("JCRQ1", "\"Journal Title\""), "Revue d'\xC3\xA9tudes");
    EXPECT_EQ(rowsOf("JCRQ3", "ISSN"), "A\xC3\xA9");
    EXPECT_EQ(rowsOf("JCRQ4", "ISSN"), "B\xC3\xA9");
}

TEST_F(CsvLoadTest, AnyOtherTableLoadsWhenTheHeaderNamesItsRequiredColumns) {
    test::execSql(database(), "CREATE TABLE codes (id INTEGER PRIMARY KEY, code TEXT NOT NULL, note TEXT)");
    load(csv("note,code\nfirst,A1\n,B2\n"), "codes");
    EXPECT_EQ(rowsOf("codes", "id || '|' || code || '|' || note"), "1|A1|first;2|B2|");
    EXPECT_NE(errorOf([&] { load(csv("note,id\nx,1\n", "no-code.csv"), "codes"); }).find("\"code\""),
              std::string::npos);
}

TEST_F(CsvLoadTest, YesNoColumnsAreStoredAsTheRecordSetsFilterThem) {
    load(
        csv("Title,Science Citation Index,Emerging Sources Citation Index\nA,True,\nB,0,yes\nC,,-1\nD,f,T\n"),
        "journals");
    test::CurrentDir cwd(dir_.path());
    Connection connection("Data Source=Database.mdb;");
    RecordSet journals("ADOQuery1", connection, "journals");
    journals.open();
    const auto titlesWhere = [&](const char* filter) {
        journals.setFilter(filter);
        journals.setFiltered(true);
        std::string titles;
        for (journals.first(); !journals.eof(); journals.next()) titles += journals.fieldAsString("Title");
        return titles;
    };
    EXPECT_EQ(titlesWhere("[Science Citation Index] = True"), "A");
    EXPECT_EQ(titlesWhere("[Emerging Sources Citation Index] = True"), "BCD");
    EXPECT_EQ(titlesWhere("[Emerging Sources Citation Index] <> True"), "A");
}

// Starting from the exports, both ranking updates copy the loaded text exactly: a thousands separator
// and trailing zeros kept; matched by ISSN or by E-ISSN; the Emerging Sources journal left out of the
// impact factors only.
TEST_F(CsvLoadTest, BothRankingUpdatesCopyTheLoadedFiguresExactly) {
    load(
        csv("Journal Data Filtered By:  Selected JCR Year: 2018\r\n"
            "Rank,Full Journal Title,Total Cites,Journal Impact Factor,ISSN,"
            "Impact Factor without Journal Self Cites\r\n"
            "1,\"Optics, Lasers and Light\",\"32,500\",1.50,1111-0001,1.20\r\n"
            "2,Photonics Letters,812,2.000,2222-0002,1.900\r\n"
            "3,Emerging Optics,40,0.300,1111-0003,0.250\r\n"));
    load(csv("Rank;Journal Title;ISSN\n1;Photonics Letters;2222-0002\n", "q1.csv"), "JCRQ1");
    load(csv("Journal Title,ISSN\n\"Optics, Lasers and Light\",1111-0001\n", "q2.csv"), "JCRQ2");
    load(csv("ISSN\tJournal Title\n1111-0003\tEmerging Optics\n", "q4.csv"), "JCRQ4");
    const test::TestJournal journalRows[] = {
        {"Optics, Lasers and Light", "Physics", "Optics", "Monthly", "1111-0001", "9999-0001", "", "", 1},
        {"Photonics Letters", "Physics", "Optics", "Weekly", "1111-0002", "2222-0002", "", "", 2},
        {"Emerging Optics", "Physics", "Optics", "Monthly", "1111-0003", "", "7.7", "", 3},
        {"Unranked Review", "Physics", "Optics", "Monthly", "1111-0004", "", "", "", 1},
    };
    std::string sql;
    for (const test::TestJournal& row : journalRows) sql += test::journalRowSql(row);
    test::execSql(database(), sql);

    test::CurrentDir cwd(dir_.path());
    Connection connection("Data Source=Database.mdb;");
    RecordSet journals("ADOQuery1", connection, "journals");
    RecordSet ranking("ADOQuery2", connection, "jcr2018");
    std::array<RecordSet, 4> quartiles = {
        RecordSet("ADOQuery3", connection, "JCRQ1"), RecordSet("ADOQuery4", connection, "JCRQ2"),
        RecordSet("ADOQuery5", connection, "JCRQ3"), RecordSet("ADOQuery6", connection, "JCRQ4")};
    journals.open();
    ranking.open();
    for (RecordSet& quartile : quartiles) quartile.open();
    NoWindow steps;
    updateImpactFactors(journals, ranking, steps);
    journals.setFiltered(false);  // the window would apply its selection again: here every journal
    updateQuartiles(journals, {&quartiles[0], &quartiles[1], &quartiles[2], &quartiles[3]}, steps);

    EXPECT_EQ(rowsOf("journals",
                     "ifnull(IF, '') || '|' || ifnull(\"Total Cites\", '') || '|' || "
                     "ifnull(\"Impact Factor without Journal Self Cites\", '') || '|' || ifnull(Q, '')"),
              "1.50|32,500|1.20|Q2;2.000|812|1.900|Q1;7.7|||Q4;|||");
}

// Bad input: a clear message naming the problem, and the database file exactly as before.
struct BadInput {
    const char* name;
    std::string csvBytes;
    const char* table;
    std::vector<std::string> messageParts;
};
void PrintTo(const BadInput& c, std::ostream* out) { *out << c.name; }

class CsvLoadRefusalTest : public CsvLoadTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(CsvLoadRefusalTest, RefusesWithAClearMessageAndChangesNothing) {
    const std::string path = csv(GetParam().csvBytes);
    const std::string before = test::readFile(database());
    const std::string message = errorOf([&] { load(path, GetParam().table); });
    for (const std::string& part : GetParam().messageParts) {
        EXPECT_NE(message.find(part), std::string::npos) << "missing \"" << part << "\" in: " << message;
    }
    // Input is quoted in part, never whole, and no sentence ends twice.
    EXPECT_LT(message.size(), 600u) << message.substr(0, 600);
    EXPECT_FALSE(message.ends_with("..")) << message;
    // Past the header, whose change counter counts opening's switch to the log and closing's switch back.
    EXPECT_EQ(test::readFile(database()).substr(100), before.substr(100));
    EXPECT_EQ(rowsOf("jcr2018", "ISSN"), "old-1;old-2");
}

const std::string kFourColumns =
    "ISSN,Total Cites,Journal Impact Factor,Impact Factor without Journal Self Cites\n";

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvLoadRefusalTest,
    ::testing::Values(
        BadInput{
            "MissingRequiredColumn",
            "Title line\nRank,ISSN,Total Cites,Journal Impact Factor,Eigenfactor Score\n1,1111-1111,2,3,4\n",
            "jcr2018",
            {"\"Impact Factor without Journal Self Cites\"",
             "(line 2): Rank, ISSN, Total Cites, Journal Impact Factor, Eigenfactor Score",
             "Nothing was loaded"}},
        BadInput{"RaggedRows",
                 kFourColumns + "1111-1111,1,2,3\n2222-2222,1,2\n3333-3333,1,2,3\nlonely\n4444-4444,1,2,3\n"
                                "5555-5555,1,2,3,4,5\n",
                 "jcr2018",
                 {"line 3 (3 fields), 5 (1 field), 7 (6 fields)", "4 fields, line 1", "Nothing was loaded"}},
        BadInput{"ManyRaggedRowsShowTheFirstFew",
                 kFourColumns + "a,b\na,b\na,b\na,b\na,b\na,b\na,b\n",
                 "jcr2018",
                 {"line 2 (2 fields), 3 (2 fields), 4 (2 fields), 5 (2 fields), 6 (2 fields), and 2 more"}},
        BadInput{"BinaryFile",
                 std::string("PK\x03\x04\x14\0\0\0", 8) + "xl/workbook.xml",
                 "jcr2018",
                 {"is not a text file: it holds control characters at line 1.", "spreadsheet workbook",
                  "save it as CSV", "Nothing was loaded"}},
        BadInput{"EmptyFile", "", "jcr2018", {"is empty", "Nothing was loaded"}},
        BadInput{"HeaderOnly",
                 "Title\n" + kFourColumns + "\n",
                 "jcr2018",
                 {"no data rows after its header (line 2)"}},
        BadInput{"NoSuchTable",
                 kFourColumns + "1,2,3,4\n",
                 "jcr2019",
                 {"has no table \"jcr2019\"", "Its tables: journals, jcr2018, JCRQ1"}},
        BadInput{"UnclosedQuote",
                 kFourColumns + "1111-1111,1,2,3\n\"2222-2222,1,2,3\n3333-3333,1,2,3\n",
                 "jcr2018",
                 {"line 3", "not closed"}},
        BadInput{"SameColumnTwice",
                 "ISSN,Total Cites,Journal Impact Factor,issn,Impact Factor without Journal Self Cites\n",
                 "jcr2018",
                 {"\"ISSN\" twice", "fields 1 and 4"}},
        BadInput{"NotAYesNoValue",
                 "Title,Science Citation Index\nA,True\nB,maybe\n",
                 "journals",
                 {"line 3: 'maybe' is not a yes/no value for field 'Science Citation Index'",
                  "Nothing was loaded"}},
        BadInput{"NoRowsAtAll", "\n\n", "JCRQ1", {"column \"ISSN\" that table JCRQ1 needs", "holds no rows"}},
        BadInput{
            "AYesNoValueOfAMillionCharactersIsQuotedInPart",
            "Title,Science Citation Index\nA,True\nB," + std::string(1'000'000, 'y') + "x\n",
            "journals",
            {"line 3: '" + std::string(80, 'y') + "\u2026' is not a yes/no value", "Nothing was loaded"}},
        BadInput{"AHeaderOfTenThousandFieldsIsQuotedInPart",
                 "Rank" + std::string(10'000, ',') + "\n1\n",
                 "JCRQ1",
                 {"The header found (line 1): Rank, , ", "\u2026.", "Nothing was loaded"}},
        BadInput{
            "MasterListIntoJournals",
            "\"Journal title\",\"ISSN\",\"eISSN\",\"Publisher name\",\"Publisher address\",\"Languages\","
            "\"Web of Science Categories\"\nActa,1000-0001,,P,A,English,Optics\n",
            "journals",
            {"column \"Title\" that table journals needs",
             "is loaded with --master-list FILE --category NAME", "Nothing was loaded"}}),
    test::CaseName());

TEST_F(CsvLoadTest, RefusesAnAccessFileAndAMissingDatabaseWithoutCreatingOne) {
    const std::string ranking = csv(kFourColumns + "1111-1111,1,2,3\n");
    const std::string access = dir_.file("Access.mdb");
    test::writeFile(access, std::string("\0\x01\0\0Standard Jet DB\0", 20) + std::string(2000, '\0'));
    const std::string accessBytes = test::readFile(access);
    CsvLoadRequest request{ranking, access, "jcr2018", false, {}};
    EXPECT_NE(errorOf([&] { loadCsvIntoTable(request); }).find("Microsoft Access database"),
              std::string::npos);
    EXPECT_EQ(test::readFile(access), accessBytes);

    request.databasePath = dir_.file("missing.mdb");
    EXPECT_NE(errorOf([&] { loadCsvIntoTable(request); }).find("Could not find file"), std::string::npos);
    EXPECT_FALSE(test::fileExists(request.databasePath));
}

TEST_F(CsvLoadTest, AStopAskedForPartWayLeavesTheOldRows) {
    std::string bytes = kFourColumns;
    for (std::size_t i = 0; i < 2 * kCsvProgressEvery; ++i) bytes += "1111-1111,1,2,3\n";
    std::size_t stoppedAt = 0;
    CsvLoadRequest request{csv(bytes), database(), "jcr2018", false, [&stoppedAt](std::size_t rows) {
                               if (stoppedAt == 0) requestStop();
                               stoppedAt = rows;
                           }};
    EXPECT_EQ(errorOf([&] { loadCsvIntoTable(request); }), "Stopped.");
    clearStopRequest();
    EXPECT_EQ(stoppedAt, kCsvProgressEvery);
    EXPECT_EQ(rowsOf("jcr2018", "ISSN"), "old-1;old-2");
}

TEST_F(CsvLoadTest, AProcessKilledPartWayLeavesTheOldRows) {
    std::string bytes = kFourColumns;
    for (int i = 0; i < 3 * static_cast<int>(kCsvProgressEvery); ++i) bytes += "1111-1111,1,2,3\n";
    const std::string path = csv(bytes);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Dies in the middle of the transaction, with thousands of rows written and nothing committed.
        CsvLoadRequest request{path, database(), "jcr2018", false, [](std::size_t rows) {
                                   if (rows >= 2 * kCsvProgressEvery) _exit(7);
                               }};
        loadCsvIntoTable(request);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(rowsOf("jcr2018", "ISSN"), "old-1;old-2");
    EXPECT_EQ(queryText(database(), "PRAGMA integrity_check"), "ok");
}

}  // namespace
}  // namespace lumaref
