// The quartile update answered from its look-up must do what the journal-by-journal filter walk does:
// the same journals posted with the same quartile, and every quartile table left with the same filter.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/record_set.h"
#include "demo_random.h"
#include "ranking/quartile_update.h"
#include "support/oracles/quartile_walk_by_filters.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

// Identifiers that collide under case folding, with blanks, quotes and the empty text.
const std::vector<std::string> kIds = {"1000-0001",  "1000-0002", "1000-000x", "1000-000X", "",
                                       "1000-0003 ", "10'00",     "ΣΑ",        "σα",        "2000-0001"};

struct Outcome {
    std::vector<std::string> quartiles;  // Q of every journal, as quote() shows it
    std::vector<std::string> filters;    // each quartile table's filter text and flag
    int posted = 0;

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    out << "posted " << o.posted << "; Q:";
    for (const auto& q : o.quartiles) out << " " << q;
    out << "; filters:";
    for (const auto& f : o.filters) out << " [" << f << "]";
    return out;
}

using QuartileWalk = UpdateCounts (*)(RecordSet&, const std::array<RecordSet*, 4>&, UpdateSteps&);

Outcome runUpdate(const std::string& dir, const std::string& sql, QuartileWalk walk, bool filtered) {
    const std::string path = dir + "/Database.mdb";
    test::createDatabase(path, sql);
    Connection connection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";");
    RecordSet journals("ADOQuery1", connection, "journals");
    std::vector<std::unique_ptr<RecordSet>> sets;
    for (int q = 1; q <= 4; ++q)
        sets.push_back(std::make_unique<RecordSet>("ADOQuery" + std::to_string(q + 2), connection,
                                                   "JCRQ" + std::to_string(q)));
    journals.open();
    for (auto& set : sets) set->open();
    journals.setFilter(filtered ? "category='A'" : "");
    journals.setFiltered(true);
    NoWindow steps;
    Outcome outcome;
    outcome.posted =
        walk(journals, {sets[0].get(), sets[1].get(), sets[2].get(), sets[3].get()}, steps).posted;
    for (auto& set : sets) outcome.filters.push_back(set->filter() + (set->filtered() ? " on" : " off"));
    const int count = std::stoi(test::queryText(path, "SELECT count(*) FROM journals"));
    for (int row = 1; row <= count; ++row)
        outcome.quartiles.push_back(
            test::queryText(path, "SELECT quote(Q) FROM journals WHERE rowid = " + std::to_string(row)));
    return outcome;
}

class QuartileWalkAgreement : public ::testing::TestWithParam<unsigned> {};

TEST_P(QuartileWalkAgreement, LookUpAndFilterWalkLeaveTheSameState) {
    demo::Random random(GetParam());
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random.below(n)); };
    std::string sql = "BEGIN;";
    const std::size_t journals = 1 + pick(25);
    for (std::size_t j = 0; j < journals; ++j) {
        sql += "INSERT INTO journals (Title, ISSN, \"E-ISSN\", Q, category) VALUES ('J', " +
               test::sqlQuoted(kIds[pick(kIds.size())]) + ", " + test::sqlQuoted(kIds[pick(kIds.size())]) +
               ", " + (pick(2) == 0 ? "NULL" : "'Q9'") + ", '" + (pick(2) == 0 ? "A" : "B") + "');";
    }
    for (int q = 1; q <= 4; ++q) {
        const std::size_t rows = pick(5);
        for (std::size_t r = 0; r < rows; ++r)
            sql += "INSERT INTO JCRQ" + std::to_string(q) + " (ISSN) VALUES (" +
                   (pick(8) == 0 ? std::string("NULL") : test::sqlQuoted(kIds[pick(kIds.size())])) + ");";
    }
    sql += "COMMIT;";
    for (const bool filtered : {false, true}) {
        test::TempDir lookupDir;
        test::TempDir filterDir;
        const Outcome byLookup = runUpdate(lookupDir.path(), sql, updateQuartiles, filtered);
        const Outcome byFilters = runUpdate(filterDir.path(), sql, test::updateQuartilesByFilters, filtered);
        EXPECT_EQ(byLookup, byFilters) << (filtered ? "category A" : "all journals");
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, QuartileWalkAgreement, ::testing::Range(1u, 31u),
                         [](const auto& seed) { return "Seed" + std::to_string(seed.param); });

}  // namespace
}  // namespace lumaref
