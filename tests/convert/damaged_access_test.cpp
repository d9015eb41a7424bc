// Damaged and cut Access files, and sources that are no files at all: each converts whole or fails
// with one line, leaving nothing behind.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "convert/access_converter.h"
#include "convert/mdb_reference.h"
#include "support/case_name.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace lumaref {
namespace {

std::string jetFile(const std::string& name) { return std::string(LUMAREF_TESTDATA_DIR) + "/jet/" + name; }

struct CutCase {
    const char* name;
    const char* file;
    std::size_t pageSize;
};
void PrintTo(const CutCase& c, std::ostream* out) { *out << c.name; }

class CutAccessFile : public ::testing::TestWithParam<CutCase> {};

// "" when a table of the converted cut holds exactly the rows of the whole file's conversion (attached
// as "whole"), else the rows in one and not the other and the difference in count.
std::string differingRows(sqlite3* db, const std::string& table) {
    const std::string cut = "main.\"" + table + "\"";
    const std::string whole = "whole.\"" + table + "\"";
    const std::string sql = "SELECT (SELECT count(*) FROM (SELECT * FROM " + cut + " EXCEPT SELECT * FROM " +
                            whole + ")) + (SELECT count(*) FROM (SELECT * FROM " + whole +
                            " EXCEPT SELECT * FROM " + cut + ")), (SELECT count(*) FROM " + cut +
                            ") - (SELECT count(*) FROM " + whole + ")";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return sqlite3_errmsg(db);
    std::string result = "no result";
    if (sqlite3_step(statement) == SQLITE_ROW) {
        result = std::to_string(sqlite3_column_int64(statement, 0)) + " differ, count off by " +
                 std::to_string(sqlite3_column_int64(statement, 1));
    }
    sqlite3_finalize(statement);
    return result == "0 differ, count off by 0" ? "" : result;
}

TEST_P(CutAccessFile, EachCutConvertsEveryTableWholeOrFails) {
    const std::string source = jetFile(GetParam().file);
    const std::string bytes = test::readFile(source);
    const std::size_t pages = bytes.size() / GetParam().pageSize;
    test::TempDir dir;
    const std::string whole = dir.file("whole.sqlite");
    convertAccessDatabase(source, whole, false);
    const std::vector<test::ReferenceTable> tables = test::readWithLibmdb(source);

    const std::size_t step = std::max<std::size_t>(1, pages / 60);
    std::size_t converted = 0;
    std::size_t refused = 0;
    for (std::size_t cut = 0; cut < pages; cut += step) {
        const std::string damaged = dir.file("cut.mdb");
        const std::string target = dir.file("cut.sqlite");
        test::writeFile(damaged, std::string_view(bytes).substr(0, cut * GetParam().pageSize));
        const std::string error = test::errorOf([&] { convertAccessDatabase(damaged, target, false); });
        if (error != "(no error)") {
            ++refused;
            EXPECT_EQ(error.find('\n'), std::string::npos) << cut << ": " << error;
            EXPECT_FALSE(fs::exists(target)) << cut;
        } else {
            ++converted;
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(target.c_str(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, ("ATTACH " + test::sqlQuoted(whole) + " AS whole").c_str(), nullptr,
                                   nullptr, nullptr),
                      SQLITE_OK);
            for (const test::ReferenceTable& table : tables)
                EXPECT_EQ(differingRows(db, table.name), "")
                    << "cut at page " << cut << ", table " << table.name;
            sqlite3_close(db);
            fs::remove(target);
        }
        fs::remove(damaged);
        ASSERT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
            << "something was left beside the target after the cut at page " << cut;
    }
    EXPECT_GT(refused, 0u);
    RecordProperty("converted", static_cast<int>(converted));
}

INSTANTIATE_TEST_SUITE_P(JetFiles, CutAccessFile,
                         ::testing::Values(CutCase{"Jet3Northwind", "nwind.mdb", 2048},
                                           CutCase{"Jet4Dates", "DateTestDatabase.mdb", 4096}),
                         test::CaseName());

}  // namespace
}  // namespace lumaref
