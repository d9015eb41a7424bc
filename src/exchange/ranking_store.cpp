#include "exchange/ranking_store.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <vector>

#include "db/schema_names.h"
#include "db/statement.h"
#include "db/store.h"
#include "db/store_transaction.h"
#include "text/error.h"

namespace lumaref {

namespace {

using Param = std::optional<std::string_view>;

Param noneIfEmpty(const std::string& value) { return value.empty() ? std::nullopt : Param(value); }

// When a load was made, in UTC: "2025-03-01T09:30:00Z".
std::string loadedAt() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

constexpr std::string_view kLoadColumns[] = {"load", "source", "year", "file", "loaded"};
constexpr std::string_view kNameColumns[] = {"load", "number", "name"};
constexpr std::string_view kJournalColumns[] = {"load", "entry", "issn", "eissn", "title"};
constexpr std::string_view kFigureColumns[] = {"figure", "load", "entry", "category", "metric", "value"};

}  // namespace

RankingStoreReport replaceRankingFigures(StoreTransaction& store, const RankingFigures& figures,
                                         std::string_view fileName) {
    for (const std::string_view table : kRankingTables) {
        if (!store.hasTable(table)) throw Error(missingTableMessage(table) + std::string(kNothingLoaded));
    }
    store.lockTable(kRankingLoadsTable);
    RankingStoreReport report;
    const std::string year = figures.year() ? std::to_string(*figures.year()) : std::string();
    const Param sourceAndYear[] = {figures.source(), figures.year() ? Param(year) : std::nullopt};
    std::vector<std::string> replaced;
    store.query(
        "SELECT \"load\" FROM ranking_loads WHERE \"source\" = $1 AND \"year\" IS NOT DISTINCT FROM $2",
        sourceAndYear, [&replaced](SqlRow row) { replaced.emplace_back(*row[0]); });
    for (const std::string& load : replaced) {
        const Param key[] = {load};
        report.journalsReplaced +=
            static_cast<std::size_t>(store.run("DELETE FROM ranking_journals WHERE \"load\" = $1", key));
        const std::string first = std::to_string(std::stoll(load) * kFiguresPerLoad);
        const std::string last = std::to_string((std::stoll(load) + 1) * kFiguresPerLoad - 1);
        const Param range[] = {first, last};
        store.run("DELETE FROM ranking_figures WHERE \"figure\" BETWEEN $1 AND $2", range);
        for (const std::string_view table : {kRankingNamesTable, kRankingLoadsTable})
            store.run("DELETE FROM " + quoteIdentifier(table) + " WHERE \"load\" = $1", key);
    }
    // After every load there is, and above every figure's number, so the new figures' range is free.
    std::int64_t load = 1;
    store.query("SELECT max(\"load\") FROM ranking_loads", {}, [&load](SqlRow row) {
        if (row[0]) load = std::stoll(std::string(*row[0])) + 1;
    });
    store.query("SELECT max(\"figure\") FROM ranking_figures", {}, [&load](SqlRow row) {
        if (row[0])
            load = std::max<std::int64_t>(load, std::stoll(std::string(*row[0])) / kFiguresPerLoad + 1);
    });

    const std::string file(fileName);
    const std::string at = loadedAt();
    store.append(kRankingLoadsTable, kLoadColumns, [&](RowSink& rows) {
        rows.number(load);
        rows.text(figures.source());
        if (figures.year()) {
            rows.number(*figures.year());
        } else {
            rows.text(std::nullopt);
        }
        rows.text(noneIfEmpty(file));
        rows.text(at);
        rows.endRow();
    });
    store.append(kRankingNamesTable, kNameColumns, [&](RowSink& rows) {
        for (std::size_t i = 0; i < figures.names().size(); ++i) {
            rows.number(load);
            rows.number(static_cast<std::int64_t>(i) + 1);
            rows.text(figures.names()[i]);
            rows.endRow();
        }
    });
    store.append(kRankingJournalsTable, kJournalColumns, [&](RowSink& rows) {
        for (std::size_t i = 0; i < figures.journals().size(); ++i) {
            const RankingJournal& journal = figures.journals()[i];
            rows.number(load);
            rows.number(static_cast<std::int64_t>(i) + 1);
            rows.text(noneIfEmpty(journal.issn));
            rows.text(noneIfEmpty(journal.eissn));
            rows.text(noneIfEmpty(journal.title));
            rows.endRow();
        }
    });
    store.append(kRankingFiguresTable, kFigureColumns, [&](RowSink& rows) {
        std::int64_t number = load * kFiguresPerLoad;
        for (const RankingFigure& figure : figures.figures()) {
            rows.key(number++);
            rows.number(load);
            rows.number(figure.entry);
            rows.number(figure.category);
            rows.number(figure.metric);
            rows.text(figure.value);
            rows.endRow();
        }
    });
    for (const std::string_view table : kRankingTables) store.noteReplaced(table);
    report.journals = figures.journals().size();
    report.figures = figures.figures().size();
    return report;
}

void replaceJcrTables(StoreTransaction& store, const JcrExport& jcr) {
    store.run("DELETE FROM " + quoteIdentifier(kRankingTable));
    store.append(kRankingTable, kJcrRankingColumns, [&jcr](RowSink& rows) {
        for (const JcrRankingRow& row : jcr.ranking) {
            rows.text(noneIfEmpty(jcr.names[row.name]));
            rows.text(row.number);
            rows.text(noneIfEmpty(row.citations));
            rows.text(noneIfEmpty(row.impact));
            rows.text(noneIfEmpty(row.impactNoSelf));
            rows.endRow();
        }
    });
    for (std::size_t q = 0; q < kQuartileTables.size(); ++q) {
        store.run("DELETE FROM " + quoteIdentifier(kQuartileTables[q]));
        store.append(kQuartileTables[q], kJcrQuartileColumns, [&jcr, q](RowSink& rows) {
            for (const JcrQuartileRow& row : jcr.quartiles[q]) {
                rows.text(noneIfEmpty(jcr.names[row.name]));
                rows.text(row.number);
                rows.endRow();
            }
        });
        store.noteReplaced(kQuartileTables[q]);
    }
    store.noteReplaced(kRankingTable);
}

}  // namespace lumaref
