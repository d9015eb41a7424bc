// What a column and a detail pane read from the figures: a metric of one source and year per journal,
// matched on either number in any form and on the journal's own subject category; every figure of one
// journal.
#include "ranking/figure_lookup.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "db/connection.h"
#include "db/store_transaction.h"
#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

// Two years of SJR quartiles by category and of a journal-wide SJR, and a JCR year.
constexpr const char* kFigures =
    "INSERT INTO ranking_loads VALUES (1, 'SJR', 2022, 'a', 't'), (2, 'SJR', 2023, 'b', 't'), "
    "(3, 'JCR', 2023, 'c', 't');"
    "INSERT INTO ranking_names VALUES (1, 1, 'SJR Quartile'), (1, 2, 'Optics'), (2, 1, 'SJR Quartile'), "
    "(2, 2, 'Optics'), (2, 3, 'Acoustics'), (2, 4, 'SJR'), (3, 1, 'JIF');"
    "INSERT INTO ranking_journals VALUES (1, 1, '1000-0001', NULL, 'Acta'), (2, 1, '1000-0001', '2000-000X', "
    "'Acta'), (2, 2, NULL, '2000-0002', 'Online'), (3, 1, '1000-0001', NULL, 'Acta');"
    // A load's figures are numbered from load * 2^32.
    "INSERT INTO ranking_figures VALUES (4294967296, 1, 1, 2, 1, 'Q3'), (8589934592, 2, 1, 2, 1, 'Q1'), "
    "(8589934593, 2, 1, 3, 1, 'Q2'), (8589934594, 2, 1, 0, 4, '1.5'), (8589934595, 2, 2, 0, 4, '0.2'), "
    "(12884901888, 3, 1, 0, 1, '4.2');";

struct LookupCase {
    const char* name;
    const char* metric;
    std::optional<int> year;
    const char* issn;
    const char* eIssn;
    const char* category;
    const char* value;
};
void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class FigureLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(FigureLookupTest, GivesTheFigureOfTheJournalsOwnCategory) {
    test::TempDir dir;
    test::createDatabase(dir.file("Database.mdb"), kFigures);
    Connection connection("Data Source=" + dir.file("Database.mdb") + ";");
    connection.open();
    const LookupCase& c = GetParam();
    inStoreTransaction(connection, [&](StoreTransaction& store) {
        const FigureLookup lookup = FigureLookup::read(store, "SJR", c.year, c.metric);
        EXPECT_EQ(lookup.year(), c.year.value_or(2023));
        EXPECT_EQ(lookup.valueFor(c.issn, c.eIssn, c.category), c.value);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FigureLookupTest,
    ::testing::Values(
        LookupCase{"OwnCategory", "SJR Quartile", std::nullopt, "1000-0001", "", "Acoustics", "Q2"},
        LookupCase{"CategoryInAnyCase", "SJR Quartile", std::nullopt, "1000-0001", "", "OPTICS", "Q1"},
        LookupCase{"AnEarlierYear", "SJR Quartile", 2022, "1000-0001", "", "Optics", "Q3"},
        LookupCase{"NoFigureInThatCategory", "SJR Quartile", std::nullopt, "1000-0001", "", "Chemistry", ""},
        LookupCase{"WholeJournalInAnyCategory", "SJR", std::nullopt, "1000-0001", "", "Chemistry", "1.5"},
        LookupCase{"ByTheEIssnInAnotherForm", "SJR", std::nullopt, "9999-9999", "2000000x", "", "1.5"},
        LookupCase{"OnlineOnly", "SJR", std::nullopt, "", "2000-0002", "Optics", "0.2"},
        LookupCase{"NotLoaded", "SJR", std::nullopt, "3000-0003", "", "Optics", ""}),
    test::CaseName());

TEST(FiguresOfJournal, EveryFigureBySourceYearAndCategory) {
    test::TempDir dir;
    test::createDatabase(dir.file("Database.mdb"), kFigures);
    Connection connection("Data Source=" + dir.file("Database.mdb") + ";");
    connection.open();
    std::string listed;
    inStoreTransaction(connection, [&listed](StoreTransaction& store) {
        for (const JournalFigure& f : figuresOfJournal(store, "1000-0001", "2000-000x"))
            listed += f.source + " " + std::to_string(f.year.value_or(0)) + " " + f.category + " " +
                      f.metric + "=" + f.value + "; ";
    });
    EXPECT_EQ(listed,
              "JCR 2023  JIF=4.2; SJR 2022 Optics SJR Quartile=Q3; SJR 2023  SJR=1.5; "
              "SJR 2023 Acoustics SJR Quartile=Q2; SJR 2023 Optics SJR Quartile=Q1; ");
}

}  // namespace
}  // namespace lumaref
