// The grid's optional figure columns, the filters on them and a journal's history, against plain
// oracles over a small store of every source.
#include "ranking/figure_columns.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "db/connection.h"
#include "db/record_set.h"
#include "db/store_transaction.h"
#include "ranking/figure_filter.h"
#include "ranking/figure_history.h"
#include "support/case_name.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

// Two JCR years by category, an SJR year, DOAJ, an undated own list with a value and a dated one without.
// A load's figures are numbered from load * 2^32.
constexpr const char* kFigures =
    "INSERT INTO ranking_loads VALUES (1, 'JCR', 2022, 'a', 't'), (2, 'JCR', 2023, 'b', 't'), "
    "(3, 'SJR', 2023, 'c', 't'), (4, 'DOAJ', 2024, 'd', 't'), (5, 'Approved', NULL, 'e', 't'), "
    "(6, 'School', 2024, 'f', 't');"
    "INSERT INTO ranking_names VALUES (1, 1, 'JIF Quartile'), (1, 2, 'Optics'), (1, 3, 'JIF'), "
    "(2, 1, 'JIF Quartile'), (2, 2, 'Optics'), (2, 3, 'Acoustics'), (2, 4, 'JIF'), (3, 1, 'SJR'), "
    "(3, 2, 'SJR Quartile'), (3, 3, 'Optics'), (3, 4, 'H index'), (4, 1, 'Open access'), (4, 2, 'APC'), "
    "(5, 1, 'Rank');"
    "INSERT INTO ranking_journals VALUES (1, 1, '1000-0001', NULL, 'Acta'), "
    "(2, 1, '1000-0001', '2000-000X', 'Acta'), (2, 2, '1000-0002', NULL, 'Beta'), "
    "(3, 1, '1000-0001', NULL, 'Acta'), (4, 1, NULL, '2000-000X', 'Acta'), (4, 2, '1000-0002', NULL, "
    "'Beta'), "
    "(5, 1, '1000-0001', NULL, 'Acta'), (6, 1, '1000-0002', NULL, 'Beta');"
    "INSERT INTO ranking_figures VALUES (4294967296, 1, 1, 2, 1, 'Q3'), (4294967297, 1, 1, 0, 3, '1.1'), "
    "(8589934592, 2, 1, 2, 1, 'Q1'), (8589934593, 2, 1, 3, 1, 'Q2'), (8589934594, 2, 1, 0, 4, '2.5'), "
    "(8589934595, 2, 2, 3, 1, 'Q4'), (8589934596, 2, 2, 0, 4, '<0.1'), "
    "(12884901888, 3, 1, 0, 1, '1.5'), (12884901889, 3, 1, 3, 2, 'Q1'), (12884901890, 3, 1, 0, 4, '40'), "
    "(17179869184, 4, 1, 0, 1, 'yes'), (17179869185, 4, 1, 0, 2, 'no'), (17179869186, 4, 2, 0, 1, 'yes'), "
    "(17179869187, 4, 2, 0, 2, 'yes'), (21474836480, 5, 1, 0, 1, 'A');";

class FigureStore : public ::testing::Test {
protected:
    void SetUp() override {
        test::createDatabase(dir_.file("Database.mdb"), kFigures);
        connection_.open();
    }
    void inStore(const std::function<void(StoreTransaction&)>& work) {
        inStoreTransaction(connection_, work);
    }

    test::TempDir dir_;
    Connection connection_{"Data Source=" + dir_.file("Database.mdb") + ";"};
};

struct ColumnCase {
    const char* name;
    const char* column;  // title
    std::optional<int> jcrYear;
    const char* issn;
    const char* eIssn;
    const char* subject;
    const char* value;
};
void PrintTo(const ColumnCase& c, std::ostream* out) { *out << c.name; }

class FigureColumnTest : public FigureStore, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(FigureColumnTest, ShowsTheFigureOfTheYearChosen) {
    const ColumnCase& c = GetParam();
    inStore([&c](StoreTransaction& store) {
        const LoadedSources loaded = loadedSources(store);
        const std::vector<FigureColumn> columns = figureColumns(loaded.ownLists);
        ChosenYears years;
        if (c.jcrYear) years["JCR"] = *c.jcrYear;
        const FigureColumnValues values = FigureColumnValues::read(store, columns, years);
        std::size_t at = 0;
        while (at < columns.size() && columns[at].title != c.column) ++at;
        ASSERT_LT(at, columns.size());
        EXPECT_EQ(values.valueFor(at, c.issn, c.eIssn, c.subject), c.value);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FigureColumnTest,
    ::testing::Values(
        ColumnCase{"JifOfTheLatestYear", "JIF", std::nullopt, "1000-0001", "", "Optics", "2.5"},
        ColumnCase{"JifOfAnEarlierYear", "JIF", 2022, "1000-0001", "", "Optics", "1.1"},
        ColumnCase{"QuartileOfAnEarlierYear", "Q in subject", 2022, "1000-0001", "", "optics", "Q3"},
        ColumnCase{"SjrQuartileInSubject", "SJR Q in subject", std::nullopt, "1000-0001", "", "OPTICS", "Q1"},
        ColumnCase{"HIndex", "H index", std::nullopt, "1000-0001", "", "", "40"},
        ColumnCase{"OpenAccessByTheEIssn", "Open access", std::nullopt, "", "2000000x", "", "yes"},
        ColumnCase{"NoApc", "APC", std::nullopt, "1000-0001", "2000-000X", "", "no"},
        ColumnCase{"OwnListValue", "Approved", std::nullopt, "10000001", "", "", "Rank: A"},
        ColumnCase{"OwnListWithoutValues", "School", std::nullopt, "1000-0002", "", "", "yes"},
        ColumnCase{"NotOnTheList", "School", std::nullopt, "1000-0001", "", "", ""}),
    test::CaseName());

TEST_F(FigureStore, SourcesListTheirYearsLatestFirstAndOwnListsByName) {
    inStore([](StoreTransaction& store) {
        const LoadedSources loaded = loadedSources(store);
        EXPECT_EQ(loaded.years.at("JCR"), (std::vector<int>{2023, 2022}));
        EXPECT_TRUE(loaded.years.at("Approved").empty());
        EXPECT_EQ(loaded.ownLists, (std::vector<std::string>{"Approved", "School"}));
    });
}

// "Q in subject" against a plain reading of every figure: the JCR quartile of the latest year whose
// category is the subject in ASCII letter case.
TEST_F(FigureStore, QuartileInSubjectMatchesEveryFigureRead) {
    const char* const numbers[][2] = {
        {"1000-0001", ""}, {"", "2000-000X"}, {"1000-0002", ""}, {"3000-0003", ""}};
    const char* const subjects[] = {"Optics", "ACOUSTICS", "acoustics", "", "Chemistry"};
    const auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    inStore([&](StoreTransaction& store) {
        const FigureColumnValues values = FigureColumnValues::read(store, figureColumns({}), {});
        for (const auto& number : numbers) {
            for (const char* subject : subjects) {
                std::string expected;
                for (const JournalFigure& f : figuresOfJournal(store, number[0], number[1])) {
                    if (f.source == "JCR" && f.year == 2023 && f.metric == "JIF Quartile" &&
                        lower(f.category) == lower(subject))
                        expected = f.value;
                }
                EXPECT_EQ(values.valueFor(0, number[0], number[1], subject), expected)
                    << number[0] << number[1] << " in " << subject;
            }
        }
    });
}

struct FilterCase {
    const char* name;
    FigureFilter filter;
    const char* quartile;
    const char* openAccess;
    const char* apc;
    const char* listed;
    bool passes;
};
void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }

class FigureFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FigureFilterTest, Passes) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(c.filter.passes(c.quartile, c.openAccess, c.apc, c.listed), c.passes);
}

FigureFilter quartileAtMost(int quartile) {
    FigureFilter filter;
    filter.subjectQuartileAtMost = quartile;
    return filter;
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FigureFilterTest,
    ::testing::Values(
        FilterCase{"NoneSetPassesAll", {}, "", "", "", "", true},
        FilterCase{"OpenAccess", {true, false, std::nullopt, ""}, "", "yes", "", "", true},
        FilterCase{"OpenAccessUnknown", {true, false, std::nullopt, ""}, "", "", "", "", false},
        FilterCase{"NoApc", {false, true, std::nullopt, ""}, "", "yes", "no", "", true},
        FilterCase{"UnknownApcIsNotNo", {false, true, std::nullopt, ""}, "", "yes", "", "", false},
        FilterCase{"ApcCharged", {false, true, std::nullopt, ""}, "", "yes", "yes", "", false},
        FilterCase{"QuartileWithin", quartileAtMost(2), "Q2", "", "", "", true},
        FilterCase{"QuartileBelow", quartileAtMost(2), "Q3", "", "", "", false},
        FilterCase{"NoQuartile", quartileAtMost(4), "", "", "", "", false},
        FilterCase{"OnTheList", {false, false, std::nullopt, "School"}, "", "", "", "yes", true},
        FilterCase{"OffTheList", {false, false, std::nullopt, "School"}, "", "", "", "", false}),
    test::CaseName());

TEST_F(FigureStore, FilterRowsOfTheJournals) {
    test::execSql(dir_.file("Database.mdb"),
                  test::journalRowSql({"Acta", "", "Optics", "", "1000-0001", "2000-000X"}) + ";" +
                      test::journalRowSql({"Beta", "", "Acoustics", "", "1000-0002"}) + ";" +
                      test::journalRowSql({"Gamma", "", "Optics", ""}));
    RecordSet journals("ADOQuery1", connection_, "journals");
    journals.open();
    FigureFilter filter;
    filter.openAccessOnly = true;
    filter.subjectQuartileAtMost = 3;
    inStore([&](StoreTransaction& store) {
        const FigureColumnValues values = FigureColumnValues::read(store, filter.columns(), {});
        EXPECT_EQ(rowsPassing(filter, values, journals.snapshot()), (std::vector<bool>{true, false, false}));
        const Column quartiles = figuresOfRows(values, 0, journals.snapshot());
        EXPECT_EQ(std::vector<std::string_view>({quartiles.text(0), quartiles.text(1), quartiles.text(2)}),
                  (std::vector<std::string_view>{"Q1", "Q4", ""}));
    });
}

TEST_F(FigureStore, HistoryIsOneNumberAYear) {
    inStore([](StoreTransaction& store) {
        const std::vector<JournalFigure> figures = figuresOfJournal(store, "1000-0001", "");
        EXPECT_EQ(yearlyFigures(figures, "JCR", "JIF"),
                  (std::vector<std::pair<int, double>>{{2022, 1.1}, {2023, 2.5}}));
        // "<0.1" is no number for a chart.
        EXPECT_TRUE(yearlyFigures(figuresOfJournal(store, "1000-0002", ""), "JCR", "JIF").empty());
    });
}

}  // namespace
}  // namespace lumaref
