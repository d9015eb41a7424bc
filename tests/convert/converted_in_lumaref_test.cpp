// A converted database works in Lumaref as it stands, and the program's own refusal of an Access file
// gives a command that does the conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "convert/access_converter.h"
#include "convert/mdb_reference.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "settings/access_database_advice.h"
#include "support/error_text.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

const std::string kNorthwind = std::string(LUMAREF_TESTDATA_DIR) + "/jet/nwind.mdb";

const test::ReferenceTable& referenceTable(const std::vector<test::ReferenceTable>& tables,
                                           const std::string& name) {
    for (const auto& table : tables) {
        if (table.name == name) return table;
    }
    throw std::runtime_error("libmdb lists no table " + name);
}

std::size_t columnIndex(const test::ReferenceTable& table, const std::string& name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].name == name) return i;
    }
    throw std::runtime_error("no column " + name);
}

TEST(ConvertedNorthwind, ProductsOpenFilterOnYesNoAndTakeAnEdit) {
    ASSERT_TRUE(std::filesystem::exists(kNorthwind)) << "no test data at " << kNorthwind;
    test::TempDir dir;
    convertAccessDatabase(kNorthwind, dir.file("Database.mdb"), false);
    const auto reference = test::readWithLibmdb(kNorthwind);
    const auto& products = referenceTable(reference, "Products");
    const std::size_t discontinued = columnIndex(products, "Discontinued");
    const std::size_t name = columnIndex(products, "ProductName");
    std::set<std::string> discontinuedNames;
    for (const auto& row : products.rows) {
        if (row[discontinued].text == "1") discontinuedNames.insert(row[name].text);
    }
    ASSERT_FALSE(discontinuedNames.empty());

    test::CurrentDir cwd(dir.path());
    Connection connection(kDefaultConnectionString);
    RecordSet query("ADOQuery1", connection, "Products");
    query.open();
    ASSERT_EQ(query.recordCount(), static_cast<int>(products.rows.size()));
    for (query.first(); !query.eof(); query.next()) {
        const bool isDiscontinued = discontinuedNames.count(query.fieldAsString("ProductName")) != 0;
        EXPECT_EQ(query.fieldAsString("Discontinued"), isDiscontinued ? "True" : "False");
    }

    query.setFilter("[Discontinued] = True");
    query.setFiltered(true);
    EXPECT_EQ(query.recordCount(), static_cast<int>(discontinuedNames.size()));
    std::set<std::string> filtered;
    for (query.first(); !query.eof(); query.next()) {
        filtered.insert(query.fieldAsString("ProductName"));
    }
    EXPECT_EQ(filtered, discontinuedNames);

    query.first();
    const std::string product = query.fieldAsString("ProductID");
    query.edit();
    query.setFieldAsString("QuantityPerUnit", "1.50");
    query.setFieldAsString("Discontinued", "false");
    query.post();
    EXPECT_EQ(test::queryText(
                  dir.file("Database.mdb"),
                  "SELECT QuantityPerUnit || '|' || Discontinued FROM Products WHERE ProductID = " + product),
              "1.50|0");
}

// The command in the program's message, run as shown by a shell, leaves a Database.mdb Lumaref opens.
TEST(ConvertedNorthwind, CommandInTheProgramsRefusalConvertsTheFile) {
    ASSERT_TRUE(std::filesystem::exists(kNorthwind)) << "no test data at " << kNorthwind;
    test::TempDir dir;
    const std::string folder = dir.file("it's my $HOME data");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kNorthwind, folder + "/Database.mdb");
    test::CurrentDir cwd(folder);

    Connection refused(kDefaultConnectionString);
    std::string message;
    try {
        refused.open();
    } catch (const AccessDatabaseError& access) {
        message = accessDatabaseAdvice(access);
    }
    EXPECT_NE(message.find("Microsoft Access database"), std::string::npos) << message;
    EXPECT_NE(message.find("lumaref-convert"), std::string::npos) << message;
    const std::size_t command = message.find("\n    ");
    ASSERT_NE(command, std::string::npos) << message;
    EXPECT_EQ(message.back(), '\'') << "an error box appends a full stop to text ending in a letter";

    const std::string converterFolder = std::filesystem::path(LUMAREF_CONVERT_EXE).parent_path().string();
    std::string posix;
    for (char c : message.substr(command + 5)) posix += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string run =
        "PATH='" + converterFolder + "':\"$PATH\" sh -c '" + posix + "' </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;

    Connection converted(kDefaultConnectionString);
    converted.open();
    RecordSet shippers("ADOQuery2", converted, "Shippers");
    shippers.open();
    EXPECT_EQ(shippers.recordCount(),
              static_cast<int>(referenceTable(test::readWithLibmdb(kNorthwind), "Shippers").rows.size()));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Database-access.mdb")) << "the Access file is kept";
}

}  // namespace
}  // namespace lumaref
