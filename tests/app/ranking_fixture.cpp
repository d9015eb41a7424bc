#include "app/ranking_fixture.h"

#include "support/temp_database.h"

namespace lumaref::test {

void RankingWindowTest::addRanking(const std::vector<RankingRow>& rows) {
    std::string sql;
    int rank = 0;
    for (const RankingRow& row : rows) {
        sql +=
            "INSERT INTO jcr2018 (Rank, \"Full Journal Title\", ISSN, \"Total Cites\", "
            "\"Journal Impact Factor\", \"Impact Factor without Journal Self Cites\") VALUES (" +
            std::to_string(++rank) + ", 'T', " + sqlQuoted(row.issn) + ", " + sqlQuoted(row.totalCites) +
            ", " + sqlQuoted(row.impactFactor) + ", " + sqlQuoted(row.withoutSelfCites) + ");\n";
    }
    execSql(databasePath(), sql);
}

void RankingWindowTest::addQuartileRows(int quartile, const std::vector<const char*>& issns) {
    std::string sql;
    for (const char* issn : issns) {
        sql += "INSERT INTO JCRQ" + std::to_string(quartile) + " (\"Journal Title\", ISSN) VALUES ('T', " +
               sqlQuoted(issn) + ");\n";
    }
    execSql(databasePath(), sql);
}

void RankingWindowTest::openAsAdmin() {
    openWindow();
    activateWindow();
    enterAdminMode();
}

void RankingWindowTest::watchWalk() {
    QObject::connect(progressBar(), &QProgressBar::valueChanged, progressBar(), [this](int value) {
        WalkSnapshot snapshot{value, journals().filter(), journals().filtered(), {}};
        for (const RecordSet& quartile : window().database().quartiles)
            snapshot.quartileFilters.push_back(quartile.filter());
        walk.push_back(snapshot);
    });
}

std::string RankingWindowTest::storedFigures(const char* title) {
    return queryText(databasePath(),
                     "SELECT quote(IF) || ' ' || quote(\"Total Cites\") || ' ' || "
                     "quote(\"Impact Factor without Journal Self Cites\") FROM journals WHERE Title = " +
                         sqlQuoted(title));
}

std::string RankingWindowTest::storedQuartile(const char* title) {
    return queryText(databasePath(), "SELECT quote(Q) FROM journals WHERE Title = " + sqlQuoted(title));
}

}  // namespace lumaref::test
