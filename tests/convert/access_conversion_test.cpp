// Converting real Access files, compared value by value with what libmdb itself reads from them.
#include <gtest/gtest.h>
#include <mdbtools.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "convert/access_converter.h"
#include "convert/access_database.h"
#include "convert/mdb_reference.h"
#include "db/declared_type.h"
#include "db/statement.h"
#include "support/case_name.h"
#include "support/temp_dir.h"
#include "text/field.h"

namespace lumaref {
namespace {

std::string jetFile(const std::string& name) { return std::string(LUMAREF_TESTDATA_DIR) + "/jet/" + name; }

// A value of the converted database, read back through SQLite.
struct StoredCell {
    int type = SQLITE_NULL;
    std::string text;
    long long integer = 0;
    double real = 0;
};

class ConvertedDatabase {
public:
    explicit ConvertedDatabase(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~ConvertedDatabase() { sqlite3_close(db_); }

    std::vector<std::vector<StoredCell>> rows(const std::string& table) const {
        Statement select(db_, "SELECT * FROM " + quoteIdentifier(table) + " ORDER BY rowid");
        std::vector<std::vector<StoredCell>> result;
        while (sqlite3_step(select.handle()) == SQLITE_ROW) {
            std::vector<StoredCell> row(static_cast<std::size_t>(sqlite3_column_count(select.handle())));
            for (int c = 0; c < sqlite3_column_count(select.handle()); ++c) {
                StoredCell& cell = row[static_cast<std::size_t>(c)];
                cell.type = sqlite3_column_type(select.handle(), c);
                cell.integer = sqlite3_column_int64(select.handle(), c);
                cell.real = sqlite3_column_double(select.handle(), c);
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select.handle(), c));
                cell.text.assign(bytes != nullptr ? bytes : "",
                                 static_cast<std::size_t>(sqlite3_column_bytes(select.handle(), c)));
            }
            result.push_back(std::move(row));
        }
        return result;
    }

    // Column name and declared type with its constraints.
    std::vector<std::pair<std::string, std::string>> columns(const std::string& table) const {
        Statement info(
            db_,
            "SELECT name, type || iif(\"notnull\", ' NOT NULL', '') || ifnull(' DEFAULT ' || dflt_value, '') "
            "FROM pragma_table_info(?)");
        sqlite3_bind_text(info.handle(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
        std::vector<std::pair<std::string, std::string>> result;
        while (sqlite3_step(info.handle()) == SQLITE_ROW) {
            result.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info.handle(), 0)),
                                reinterpret_cast<const char*>(sqlite3_column_text(info.handle(), 1)));
        }
        return result;
    }

private:
    sqlite3* db_ = nullptr;
};

// The Access day number of an ISO 8601 date text, by the standard library's calendar: whole days since
// 1899-12-30, the time of day as a fraction added (subtracted before that day, as Access stores it).
double daysOfIsoText(const std::string& text) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (std::sscanf(text.c_str(), "%d-%u-%uT%d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6) {
        ADD_FAILURE() << "not an ISO 8601 date and time: " << text;
    }
    using namespace std::chrono;
    const auto date =
        year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    EXPECT_TRUE(date.ok()) << text;
    const double whole = static_cast<double>((sys_days{date} - sys_days{1899y / December / 30}).count());
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    return whole < 0 ? whole - fraction : whole + fraction;
}

void expectCellMatches(const test::ReferenceColumn& column, const test::ReferenceCell& expected,
                       const StoredCell& stored, const std::string& where) {
    SCOPED_TRACE(where);
    if (column.mdbType == MDB_BOOL) {
        ASSERT_EQ(stored.type, SQLITE_INTEGER);
        EXPECT_EQ(std::to_string(stored.integer), expected.text);
        return;
    }
    // libmdb's binding gives a null as the empty text; no field of these files holds an empty text.
    ASSERT_EQ(stored.type == SQLITE_NULL, expected.text.empty());
    if (stored.type == SQLITE_NULL) return;
    switch (column.mdbType) {
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            ASSERT_EQ(stored.type, SQLITE_INTEGER);
            EXPECT_EQ(stored.integer, std::atoll(expected.text.c_str()));
            break;
        case MDB_MONEY:
            ASSERT_EQ(stored.type, SQLITE_FLOAT);
            EXPECT_EQ(stored.real, std::strtod(expected.text.c_str(), nullptr));
            break;
        case MDB_DOUBLE:
            ASSERT_EQ(stored.type, SQLITE_FLOAT);
            EXPECT_NEAR(stored.real, std::strtod(expected.text.c_str(), nullptr),
                        std::fabs(stored.real) * 1e-15);
            break;
        case MDB_FLOAT:
            ASSERT_EQ(stored.type, SQLITE_FLOAT);
            EXPECT_EQ(static_cast<float>(stored.real), std::strtof(expected.text.c_str(), nullptr));
            break;
        case MDB_DATETIME:
            ASSERT_EQ(stored.type, SQLITE_TEXT);
            EXPECT_NEAR(daysOfIsoText(stored.text), expected.days, 0.5 / 86400) << stored.text;
            // libmdb's own formatting covers the years 1899 to about 4637 only.
            if (expected.days >= 0 && expected.days < 1e6) {
                EXPECT_EQ(stored.text, expected.text);
            }
            break;
        case MDB_OLE:
            ASSERT_EQ(stored.type, SQLITE_BLOB);
            EXPECT_EQ(stored.text.size(), expected.ole.size());
            EXPECT_TRUE(stored.text == expected.ole);
            break;
        default:
            // Text and memo: exactly the same text, kept as text even when it looks like a number.
            ASSERT_EQ(stored.type, SQLITE_TEXT);
            EXPECT_EQ(stored.text, expected.text);
            break;
    }
}

// The declared type each Access type must arrive as, and the field kind Lumaref reads from it.
struct ExpectedType {
    const char* prefix;
    FieldKind kind;
};
const std::map<int, ExpectedType> kExpectedTypes = {
    {MDB_BOOL, {"BOOLEAN NOT NULL DEFAULT 0", FieldKind::Boolean}},
    {MDB_BYTE, {"INTEGER", FieldKind::Integer}},
    {MDB_INT, {"INTEGER", FieldKind::Integer}},
    {MDB_LONGINT, {"INTEGER", FieldKind::Integer}},
    {MDB_FLOAT, {"REAL", FieldKind::Real}},
    {MDB_DOUBLE, {"DOUBLE", FieldKind::Real}},
    {MDB_MONEY, {"DOUBLE", FieldKind::Real}},
    {MDB_DATETIME, {"TEXT", FieldKind::Text}},
    {MDB_TEXT, {"TEXT(", FieldKind::Text}},
    {MDB_MEMO, {"TEXT", FieldKind::Text}},
    {MDB_OLE, {"BLOB", FieldKind::Text}},
};

struct SourceCase {
    const char* name;
    const char* file;
};
void PrintTo(const SourceCase& source, std::ostream* out) { *out << source.file; }

class AccessConversion : public ::testing::TestWithParam<SourceCase> {};

TEST_P(AccessConversion, EveryTableRowAndValueMatchesWhatLibmdbReads) {
    const std::string source = jetFile(GetParam().file);
    ASSERT_TRUE(std::filesystem::exists(source)) << "no test data at " << source;
    test::TempDir dir;
    const std::string target = dir.file("converted.sqlite");
    const ConversionSummary summary = convertAccessDatabase(source, target, false);

    const auto reference = test::readWithLibmdb(source);
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(summary.tables, reference.size());
    std::size_t referenceRows = 0;
    ConvertedDatabase converted(target);
    for (const auto& table : reference) {
        SCOPED_TRACE(table.name);
        referenceRows += table.rows.size();
        const auto columns = converted.columns(table.name);
        ASSERT_EQ(columns.size(), table.columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c) {
            EXPECT_EQ(columns[c].first, table.columns[c].name);
            const auto expected = kExpectedTypes.find(table.columns[c].mdbType);
            ASSERT_NE(expected, kExpectedTypes.end())
                << "no expectation for type " << table.columns[c].mdbType;
            EXPECT_EQ(columns[c].second.rfind(expected->second.prefix, 0), 0u) << columns[c].second;
            if (std::string(expected->second.prefix) == "TEXT") {
                EXPECT_EQ(columns[c].second, "TEXT");
            }
            EXPECT_EQ(fieldFromDeclaredType(columns[c].first, columns[c].second).kind, expected->second.kind);
        }
        const auto stored = converted.rows(table.name);
        ASSERT_EQ(stored.size(), table.rows.size());
        for (std::size_t r = 0; r < stored.size(); ++r) {
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                expectCellMatches(table.columns[c], table.rows[r][c], stored[r][c],
                                  "row " + std::to_string(r + 1) + ", field " + table.columns[c].name);
            }
        }
    }
    EXPECT_EQ(summary.rows, referenceRows);
}

// libmdb cuts a text at its buffer size without a word; a memo longer than the buffer is read again whole.
TEST(AccessReading, MemoLongerThanTheTextBufferComesWhole) {
    const std::string source = jetFile("nwind.mdb");
    ASSERT_TRUE(std::filesystem::exists(source)) << "no test data at " << source;
    const auto reference = test::readWithLibmdb(source);
    const auto employees = std::find_if(reference.begin(), reference.end(),
                                        [](const auto& table) { return table.name == "Employees"; });
    ASSERT_NE(employees, reference.end());
    std::size_t notes = 0;
    while (employees->columns[notes].name != "Notes") ++notes;

    AccessDatabase database(source, 32);
    const auto table = database.openTable("Employees");
    std::size_t row = 0;
    std::size_t longer = 0;
    while (table->next()) {
        ASSERT_LT(row, employees->rows.size());
        const std::string& expected = employees->rows[row++][notes].text;
        longer += expected.size() > 32 ? 1 : 0;
        EXPECT_EQ(table->values()[notes].bytes, expected);
    }
    EXPECT_EQ(row, employees->rows.size());
    EXPECT_GT(longer, 0u) << "the test needs notes longer than the buffer";
}

INSTANTIATE_TEST_SUITE_P(JetFiles, AccessConversion,
                         ::testing::Values(SourceCase{"Jet3Northwind", "nwind.mdb"},
                                           SourceCase{"Jet4Dates", "DateTestDatabase.mdb"}),
                         test::CaseName());

}  // namespace
}  // namespace lumaref
