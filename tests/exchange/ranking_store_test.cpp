// The figures of a ranking file stored on each store: a source and year loaded again replaces exactly
// that source and year, in one transaction, and a load that fails leaves everything as it was.
#include "exchange/ranking_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "db/connection.h"
#include "db/store_transaction.h"
#include "exchange/ranking_file.h"
#include "support/case_name.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"
#include "text/error.h"

namespace lumaref {
namespace {

// A Lumaref database on one store, opened through a connection as the window opens it.
class FiguresDatabase {
public:
    virtual ~FiguresDatabase() = default;
    virtual Connection& connection() = 0;
};

class SqliteFigures : public FiguresDatabase {
public:
    SqliteFigures() { test::createDatabase(path_); }
    Connection& connection() override { return connection_; }

private:
    test::TempDir dir_;
    std::string path_ = dir_.file("Database.mdb");
    Connection connection_{"Data Source=" + path_ + ";"};
};

// A server database from before the figures: only the journals table. Opening it adds them.
class PostgresFigures : public FiguresDatabase {
public:
    PostgresFigures() {
        schema_.exec("CREATE TABLE journals (\"Title\" varchar(255), \"ISSN\" varchar(255))");
    }
    Connection& connection() override { return connection_; }

private:
    test::PostgresSchema schema_;
    Connection connection_{schema_.conninfo()};
};

struct Backend {
    const char* name;
    std::function<std::unique_ptr<FiguresDatabase>()> create;
    std::function<std::optional<std::string>()> unavailable;
};
void PrintTo(const Backend& backend, std::ostream* out) { *out << backend.name; }

class RankingStoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (const std::optional<std::string> reason = GetParam().unavailable()) GTEST_SKIP() << *reason;
        database_ = GetParam().create();
        database_->connection().open();
    }

    RankingStoreReport load(std::string_view text, const RankingFileRequest& request,
                            const std::function<void()>& thenFail = {}) {
        const RankingFile file = readRankingFile(text, "f.csv", request);
        RankingStoreReport report;
        inStoreTransaction(database_->connection(), [&](StoreTransaction& store) {
            report = storeRankingFile(store, file, "f.csv");
            if (thenFail) thenFail();
        });
        return report;
    }

    // The view's rows, one per line, in one order on both stores.
    std::string view() {
        std::string rows;
        inStoreTransaction(database_->connection(), [&rows](StoreTransaction& store) {
            store.query(
                "SELECT source, year, issn, eissn, title, category, metric, value FROM journal_rankings "
                "ORDER BY source, year, issn, category, metric",
                {}, [&rows](SqlRow row) {
                    for (std::size_t i = 0; i < row.size(); ++i)
                        rows += std::string(i == 0 ? "" : "|") + std::string(row[i].value_or("-"));
                    rows += "\n";
                });
        });
        return rows;
    }

    std::unique_ptr<FiguresDatabase> database_;
};

constexpr std::string_view kSjr2023 =
    "Title;Issn;SJR;SJR Best Quartile;H index;Categories;Total Docs. (2023)\n"
    "Acta;10000001;1,5;Q1;10;Optics (Q1);5\nBeta;2000000x, 30000003;0,2;Q4;2;Optics (Q4);1\n";
constexpr std::string_view kSjr2024 =
    "Title;Issn;SJR;SJR Best Quartile;H index;Categories;Total Docs. (2024)\nActa;10000001;1,7;Q1;11;-;6\n";
constexpr std::string_view kOwnList = "Title,ISSN,Level\nActa,1000-0001,A\n";
constexpr std::string_view kSjr2023Again =
    "Title;Issn;SJR;SJR Best Quartile;H index;Categories;Total Docs. (2023)\nGamma;40000004;3,0;Q2;7;-;1\n";

TEST_P(RankingStoreTest, ASourceAndYearLoadedAgainReplacesExactlyItsFigures) {
    const RankingFileRequest any{std::nullopt, std::nullopt, "National list", 2025};
    EXPECT_EQ(load(kSjr2023, any).journals, 2u);
    load(kSjr2024, any);
    load(kOwnList, any);
    const std::string before =
        "National list|-|1000-0001|-|Acta||Level|A\n"
        "SJR|2023|1000-0001|-|Acta||H index|10\nSJR|2023|1000-0001|-|Acta||SJR|1.5\n"
        "SJR|2023|1000-0001|-|Acta||SJR Best Quartile|Q1\nSJR|2023|1000-0001|-|Acta|Optics|SJR Quartile|Q1\n"
        "SJR|2023|2000-000X|3000-0003|Beta||H index|2\nSJR|2023|2000-000X|3000-0003|Beta||SJR|0.2\n"
        "SJR|2023|2000-000X|3000-0003|Beta||SJR Best Quartile|Q4\n"
        "SJR|2023|2000-000X|3000-0003|Beta|Optics|SJR Quartile|Q4\n"
        "SJR|2024|1000-0001|-|Acta||H index|11\nSJR|2024|1000-0001|-|Acta||SJR|1.7\n"
        "SJR|2024|1000-0001|-|Acta||SJR Best Quartile|Q1\n";
    EXPECT_EQ(view(), before);

    // A load that fails after writing everything leaves the figures as they were.
    EXPECT_THROW(load(kSjr2023Again, any, [] { throw Error("stopped"); }), Error);
    EXPECT_EQ(view(), before);

    const RankingStoreReport again = load(kSjr2023Again, any);
    EXPECT_EQ(again.journalsReplaced, 2u);
    EXPECT_EQ(again.figures, 3u);
    EXPECT_EQ(view(),
              "National list|-|1000-0001|-|Acta||Level|A\n"
              "SJR|2023|4000-0004|-|Gamma||H index|7\nSJR|2023|4000-0004|-|Gamma||SJR|3.0\n"
              "SJR|2023|4000-0004|-|Gamma||SJR Best Quartile|Q2\n"
              "SJR|2024|1000-0001|-|Acta||H index|11\nSJR|2024|1000-0001|-|Acta||SJR|1.7\n"
              "SJR|2024|1000-0001|-|Acta||SJR Best Quartile|Q1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Stores, RankingStoreTest,
    ::testing::Values(Backend{"Sqlite", [] { return std::make_unique<SqliteFigures>(); },
                              []() -> std::optional<std::string> { return std::nullopt; }},
                      Backend{"Postgres", [] { return std::make_unique<PostgresFigures>(); },
                              test::PostgresSchema::unavailableReason}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
