// The window's CSV import and lumaref-convert --master-list store the same journals, row for row.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "convert/csv_master_list_load.h"
#include "convert_run.h"
#include "db/connection.h"
#include "db/postgres_connection.h"
#include "db/record_set.h"
#include "exchange/master_list_csv_import.h"
#include "support/case_name.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

struct PathCase {
    const char* name;
    bool postgres;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

// Every journals column of every row in stored order, each value as SQL would write it ('text', NULL,
// a yes/no as the number stored), so a flag written as text, or a field left null instead of empty,
// shows. `postgres` spells it for the server.
std::string journalRowsSql(const std::string& columnsAndTypes, bool postgres) {
    std::string row;
    std::istringstream lines(columnsAndTypes);
    for (std::string line; std::getline(lines, line);) {
        const std::string column = "\"" + line.substr(0, line.find('\t')) + "\"";
        std::string value = "coalesce('''' || replace(" + column + ", '''', '''''') || '''', 'NULL')";
        if (line.ends_with("BOOLEAN")) value = postgres ? column + "::int::text" : "quote(" + column + ")";
        row += (row.empty() ? "" : " || '|' || ") + value;
    }
    return postgres
               ? "SELECT string_agg(" + row + ", ' / ' ORDER BY lumaref_key) FROM journals"
               : "SELECT group_concat(r, ' / ') FROM (SELECT " + row + " AS r FROM journals ORDER BY rowid)";
}

class MasterListPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(MasterListPaths, StoreWhatTheWindowStores) {
    if (GetParam().postgres) {
        if (const auto reason = test::PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
    }
    test::TempDir dir;
    const std::string header =
        "\"Journal title\",\"ISSN\",\"eISSN\",\"Publisher name\",\"Publisher address\",\"Languages\","
        "\"Web of Science Categories\"\r\n";
    const std::string longTitle = std::string(300, 'L');
    const std::string longSubject = std::string(300, 'S');
    // A second index's list after the first: new journals, journals stored by either list (an ISSN in
    // another letter case, an E-ISSN alone, a subject cut to its field), twins within one file, rows
    // without any number, a row without categories; a tab, a quote and a backslash in titles.
    const std::pair<std::string, std::string> files[] = {
        {"Science Citation Index Expanded (SCIE).csv",
         header +
             "\"Acta\tOptica\",\"1000-000x\",\"2000-0001\",\"OSA\",\"2010 Massachusetts Ave. NW, "
             "Washington\","
             "\"English\",\"Optics | Acoustics\"\r\n\"" +
             longTitle + "\",\"1000-0002\",\"\",\"P\",\"\",\"English\",\"Optics\"\r\n" +
             "\"Physicians' Online\\Letters\",\"\",\"2000-0003\",\"\",\"Berlin\",\"English\",\"Medicine\"\r\n"
             "\"Long Subject\",\"1000-0004\",\"\",\"\",\"\",\"English\",\"" +
             longSubject +
             "\"\r\n\"Acta Optica\",\"1000-000X\",\"\",\"OSA\",\"\",\"English\",\"Optics\"\r\n" +
             "\"Bare\",\"\",\"\",\"P\",\"\",\"English\",\"\"\r\n"},
        {"Emerging Sources Citation Index (ESCI).csv",
         header + "\"Acta Optica\",\"1000-000X\",\"\",\"\",\"\",\"English\",\"Optics\"\r\n" +
             "\"Physicians' Online\\Letters\",\"\",\"2000-0003\",\"\",\"\",\"English\",\"Medicine | "
             "Optics\"\r\n"
             "\"Physicians' Online\\Letters\",\"\",\"2000-0003\",\"\",\"\",\"English\",\"Medicine\"\r\n"
             "\"Long Subject\",\"1000-0004\",\"\",\"\",\"\",\"English\",\"" +
             longSubject + "x\"\r\n\"Bare\",\"\",\"\",\"P\",\"\",\"English\",\"\"\r\n"},
    };
    for (const auto& [name, bytes] : files) test::writeFile(dir.file(name), bytes);

    const std::string windowDatabase = dir.file("window.mdb");
    test::createDatabase(windowDatabase);
    {
        Connection connection("Data Source=" + windowDatabase + ";");
        RecordSet journals("ADOQuery1", connection, "journals");
        journals.open();
        for (const auto& [name, bytes] : files) {
            // A row without categories goes under the subject box, here the category the tool takes.
            importMasterListCsv(readMasterListCsv(bytes, "Physics"), journals, "Physics",
                                *citationIndexFromFileName(name));
        }
    }
    const std::string columns = test::queryText(
        windowDatabase,
        "SELECT group_concat(name || char(9) || type, char(10)) FROM pragma_table_info('journals')");
    const std::string windowRows = test::queryText(windowDatabase, journalRowsSql(columns, false));
    EXPECT_EQ(test::queryText(windowDatabase,
                              "SELECT count(*) || ' ' || sum(\"Emerging Sources Citation "
                              "Index\") FROM journals"),
              "8 5");

    std::string toolRows;
    if (GetParam().postgres) {
        test::PostgresSchema server;
        ASSERT_EQ(test::runConvertCommand({"--quiet", "--new", server.conninfo()}).status, 0);
        PgConnection target(server.conninfo());
        for (const auto& file : files)
            loadMasterListIntoDatabase({dir.file(file.first), "", "Physics", {}}, target);
        toolRows = server.queryText(journalRowsSql(columns, true));
    } else {
        const std::string toolDatabase = dir.file("tool.mdb");
        test::createDatabase(toolDatabase);
        for (const auto& file : files)
            loadMasterListIntoDatabase({dir.file(file.first), toolDatabase, "Physics", {}});
        toolRows = test::queryText(toolDatabase, journalRowsSql(columns, false));
    }
    EXPECT_EQ(toolRows, windowRows);
}

const PathCase kPaths[] = {{"ToolIntoSqlite", false}, {"ToolOntoPostgres", true}};
INSTANTIATE_TEST_SUITE_P(Loads, MasterListPaths, ::testing::ValuesIn(kPaths), test::CaseName());

}  // namespace
}  // namespace lumaref
