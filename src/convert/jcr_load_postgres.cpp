// The ranking export onto a PostgreSQL server: read as for a database file, written by COPY.
#include <optional>
#include <string_view>

#include "convert/jcr_load.h"
#include "db/postgres_connection.h"
#include "db/postgres_copy_text.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr std::size_t kCopyChunkBytes = 1 << 20;

std::optional<std::string_view> nullIfEmpty(const std::string& value) {
    return value.empty() ? std::nullopt : std::optional<std::string_view>(value);
}

// Replaces the rows of `table` with `rows`, each turned into its fields by `fieldsOf`.
template <class Row, std::size_t N, class Fields>
void replaceRows(PgConnection& target, std::string_view table, const std::array<std::string_view, N>& columns,
                 const std::vector<Row>& rows, Fields fieldsOf) {
    target.exec("DELETE FROM " + quoteIdentifier(table));
    target.copyIn("COPY " + quoteIdentifier(table) + " (" + columnList(columns) + ") FROM STDIN");
    std::string chunk;
    try {
        for (const Row& row : rows) {
            const std::array<std::optional<std::string_view>, N> fields = fieldsOf(row);
            for (std::size_t i = 0; i < N; ++i) appendCopyField(chunk, fields[i], i == 0);
            chunk += '\n';
            if (chunk.size() >= kCopyChunkBytes) {
                target.putCopyData(chunk);
                chunk.clear();
            }
        }
        if (!chunk.empty()) target.putCopyData(chunk);
    } catch (const Error& failure) {
        target.abortCopyIn(failure.what());
        throw;
    }
    target.endCopyIn();
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
    });
    return read.report;
}

}  // namespace lumaref
