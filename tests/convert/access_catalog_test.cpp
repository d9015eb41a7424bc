// The catalogue held against itself and the pages it points to, on catalogues made up for each rule.
#include "convert/access_catalog.h"

#include <gtest/gtest.h>

#include <map>

#include "support/case_name.h"
#include "support/error_text.h"

namespace lumaref {
namespace {

constexpr std::uint32_t kSystem = 0x80000000;

struct CatalogRuleCase {
    const char* name;
    std::vector<CatalogEntry> entries;
    std::string result;  // the user tables joined by "|", or the end of the error
};
void PrintTo(const CatalogRuleCase& c, std::ostream* out) { *out << c.name; }

// Pages 2 and 3 define system tables, 10 to 13 user tables; any other page holds no definition.
DefinitionPage pageKind(std::size_t page) {
    if (page == 2 || page == 3) return DefinitionPage::SystemTable;
    return page >= 10 && page <= 13 ? DefinitionPage::UserTable : DefinitionPage::Other;
}

const std::vector<CatalogEntry> kSound = {
    {"Tables", false, 1, kSystem}, {"MSysObjects", true, 2, kSystem}, {"MSysACEs", true, 3, 2},
    {"Journals", true, 10, 0},     {"Journal form", false, 7, 0},     {"f_0A1B_Data", true, 11, 0x800a0000},
    {"jcr2018", true, 12, 0}};

std::vector<CatalogEntry> soundWith(std::size_t at, const CatalogEntry& entry) {
    std::vector<CatalogEntry> entries = kSound;
    entries[at] = entry;
    return entries;
}

class CatalogRule : public ::testing::TestWithParam<CatalogRuleCase> {};

TEST_P(CatalogRule, ListsTheUserTablesOrNamesTheDisagreement) {
    std::string result;
    const std::string error = test::errorOf([&] {
        for (const std::string& name : checkedUserTables(GetParam().entries, pageKind, "a.mdb")) {
            result += (result.empty() ? "" : "|") + name;
        }
    });
    if (error == "(no error)") {
        EXPECT_EQ(result, GetParam().result);
    } else {
        EXPECT_EQ(error, "The list of tables of the Access file 'a.mdb' is damaged: " + GetParam().result);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogs, CatalogRule,
    ::testing::Values(
        CatalogRuleCase{"Sound", kSound, "Journals|jcr2018"},
        CatalogRuleCase{"TableWithoutName", soundWith(3, {"", true, 10, 0}), "a table has no name."},
        CatalogRuleCase{"ObjectWithoutName", soundWith(4, {"", false, 7, 0}), "an object has no name."},
        CatalogRuleCase{"ControlCharacter", soundWith(6, {"jcr\n2018", true, 12, 0}),
                        "the name 'jcr\\x0A2018' holds a control character."},
        CatalogRuleCase{"SameNameInAnotherCase", soundWith(6, {"JOURNALS", true, 12, 0}),
                        "two tables are named 'JOURNALS'."},
        CatalogRuleCase{"SystemTableListedAsUserTable", soundWith(1, {"MSysObjects", true, 2, 0}),
                        "it lists the system table 'MSysObjects' as a user table."},
        CatalogRuleCase{"UserTableMarkedAsSystem", soundWith(3, {"Journals", true, 10, 2}),
                        "table 'Journals' is marked as one of Access's own tables, which are not named so."},
        CatalogRuleCase{"UserTableOnSystemDefinition", soundWith(3, {"Journals", true, 3, 0}),
                        "tables 'MSysACEs' and 'Journals' point to the same table definition (page 3)."},
        CatalogRuleCase{"UserTableOnAnotherTable", soundWith(6, {"jcr2018", true, 10, 0}),
                        "tables 'Journals' and 'jcr2018' point to the same table definition (page 10)."},
        CatalogRuleCase{"UserTableOnNoDefinition", soundWith(6, {"jcr2018", true, 40, 0}),
                        "table 'jcr2018' points to page 40, which holds no table definition."},
        CatalogRuleCase{"TableListedAsAnotherObject", soundWith(6, {"jcr2018", false, 12, 0}),
                        "the entry 'jcr2018' points to page 12, the definition of a table no entry lists as "
                        "a table."}),
    test::CaseName());

TEST(CatalogPages, ASystemDefinitionIsToldFromAUserOne) {
    // Page 2 of every Access file defines the catalogue itself; the Jet 3 and Jet 4 test files each hold
    // one user table on the pages below.
    struct Row {
        const char* file;
        bool jet3;
        std::size_t userPage;
    };
    for (const Row& row : {Row{"nwind.mdb", true, 415}, Row{"DateTestDatabase.mdb", false, 18}}) {
        const auto read =
            definitionPageReader(std::string(LUMAREF_TESTDATA_DIR) + "/jet/" + row.file, row.jet3);
        EXPECT_EQ(read(2), DefinitionPage::SystemTable) << row.file;
        EXPECT_EQ(read(row.userPage), DefinitionPage::UserTable) << row.file;
        EXPECT_EQ(read(1), DefinitionPage::Other) << row.file;
        EXPECT_EQ(read(1u << 20), DefinitionPage::Other) << row.file;
    }
}

}  // namespace
}  // namespace lumaref
