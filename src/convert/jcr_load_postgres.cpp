// The ranking export onto a PostgreSQL server: read as for a database file, written by COPY.
#include <optional>
#include <string_view>

#include "convert/jcr_load.h"
#include "db/postgres_connection.h"
#include "db/postgres_copy_in.h"
#include "db/postgres_notifications.h"
#include "db/schema_names.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

std::optional<std::string_view> nullIfEmpty(const std::string& value) {
    return value.empty() ? std::nullopt : std::optional<std::string_view>(value);
}

// Replaces the rows of `table` with `rows`, each turned into its fields by `fieldsOf`.
template <class Row, std::size_t N, class Fields>
void replaceRows(PgConnection& target, std::string_view table, const std::array<std::string_view, N>& columns,
                 const std::vector<Row>& rows, Fields fieldsOf) {
    target.exec("DELETE FROM " + quoteIdentifier(table));
    copyRowsIn(target, "COPY " + quoteIdentifier(table) + " (" + columnList(columns) + ") FROM STDIN",
               [&](CopyInRows& copy) {
                   for (const Row& row : rows) {
                       for (const std::optional<std::string_view> field : fieldsOf(row)) copy.field(field);
                       copy.endRow();
                   }
               });
}

}  // namespace

JcrLoadReport loadJcrExport(const std::string& csvPath, PgConnection& target) {
    const JcrExport read = readJcrExport(csvPath);
    inOneTransaction(target, [&] {
        replaceRows(target, kRankingTable, kJcrRankingColumns, read.ranking, [](const JcrRankingRow& row) {
            return std::array<std::optional<std::string_view>, 5>{
                nullIfEmpty(row.name), row.number, nullIfEmpty(row.citations), nullIfEmpty(row.impact),
                nullIfEmpty(row.impactNoSelf)};
        });
        for (std::size_t q = 0; q < kQuartileTables.size(); ++q) {
            replaceRows(
                target, kQuartileTables[q], kJcrQuartileColumns, read.quartiles[q],
                [](const JcrQuartileRow& row) {
                    return std::array<std::optional<std::string_view>, 2>{nullIfEmpty(row.name), row.number};
                });
        }
        notifyTableReplaced(target, kRankingTable);
        for (const std::string_view table : kQuartileTables) notifyTableReplaced(target, table);
    });
    return read.report;
}

}  // namespace lumaref
