// The store transaction on a PostgreSQL server: prepared statements, and COPY for appends.
#include <charconv>
#include <vector>

#include "db/postgres_connection.h"
#include "db/postgres_copy_in.h"
#include "db/postgres_notifications.h"
#include "db/statement.h"
#include "db/store_transaction.h"

namespace lumaref {

namespace {

class CopyRowSink final : public RowSink {
public:
    explicit CopyRowSink(CopyInRows& copy) : copy_(copy) {}
    void text(std::optional<std::string_view> value) override { copy_.field(value); }
    void number(std::int64_t value) override {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        copy_.field(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    void key(std::int64_t value) override { number(value); }
    void endRow() override { copy_.endRow(); }

private:
    CopyInRows& copy_;
};

class PostgresTransaction final : public StoreTransaction {
public:
    explicit PostgresTransaction(PgConnection& connection) : connection_(connection) {}

    std::int64_t run(const std::string& sql, SqlParams params) override {
        return connection_.execPrepared(sql, params).affectedRows();
    }

    void query(const std::string& sql, SqlParams params, const std::function<void(SqlRow)>& onRow) override {
        const PgResult result = connection_.execPrepared(sql, params);
        std::vector<std::optional<std::string_view>> row(static_cast<std::size_t>(result.columns()));
        for (int r = 0; r < result.rows(); ++r) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int column = static_cast<int>(i);
                row[i] = result.isNull(r, column) ? std::nullopt
                                                  : std::optional<std::string_view>(result.value(r, column));
            }
            onRow(row);
        }
    }

    void append(std::string_view table, std::span<const std::string_view> columns,
                const std::function<void(RowSink&)>& rows) override {
        std::string names;
        for (const std::string_view column : columns)
            names += (names.empty() ? "" : ", ") + quoteIdentifier(column);
        copyRowsIn(connection_, "COPY " + quoteIdentifier(table) + " (" + names + ") FROM STDIN",
                   [&rows](CopyInRows& copy) {
                       CopyRowSink sink(copy);
                       rows(sink);
                   });
    }

    void lockTable(std::string_view table) override {
        connection_.exec("LOCK TABLE " + quoteIdentifier(table) + " IN SHARE ROW EXCLUSIVE MODE");
    }

    void noteReplaced(std::string_view table) override { notifyTableReplaced(connection_, table); }

    bool hasTable(std::string_view table) override {
        const std::string quoted = quoteIdentifier(table);
        const std::optional<std::string_view> name[] = {std::string_view(quoted)};
        return !connection_.execPrepared("SELECT to_regclass($1)", name).isNull(0, 0);
    }

private:
    PgConnection& connection_;
};

}  // namespace

void inStoreTransaction(PgConnection& connection, const std::function<void(StoreTransaction&)>& work) {
    inOneTransaction(connection, [&] {
        PostgresTransaction store(connection);
        work(store);
    });
}

}  // namespace lumaref
