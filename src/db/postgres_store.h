#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "db/postgres_connection.h"
#include "db/postgres_notifications.h"
#include "db/store.h"

namespace lumaref {

// The identity column every table gets on the server: how the store knows a row; never a field.
inline constexpr const char* kPostgresKeyColumn = "lumaref_key";

// The store in a PostgreSQL database. Each post is its own transaction (BEGIN, its statement, the
// statements every post runs, COMMIT), sent in libpq's pipeline mode: one round trip for a single
// post, none per post in a batch. A post made while the connection is inside a transaction joins it.
// Rows are loaded by one COPY per table and filtered in memory.
class PostgresStore final : public Store {
public:
    // Throws Error naming the server (postgres_connect.h).
    static std::unique_ptr<PostgresStore> open(const std::string& conninfo, int lockTimeoutMs);
    ~PostgresStore() override;

    LoadedTable load(const std::string& table) override;
    void update(const std::string& table, const Table& snapshot, RowKey key,
                std::span<const FieldChange> changes) override;
    RowKey append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) override;
    std::vector<TableChanges> othersChanges() override;
    LoadedTable loadRows(const std::string& table, std::span<const RowKey> keys) override;
    void setBusyTimeoutMs(int ms) override;
    bool readOnly() const override { return readOnly_; }
    bool mayChange(const std::string& table) override;
    bool lost() const override { return connection_.lost(); }
    bool beginBatch(PostOutcomes& outcomes) override;
    void finishBatch() override;
    void abandonBatch() noexcept override;

    // A statement without parameters that every post runs in its own transaction after its change
    // (a notification for other programs, say).
    void addToEachPost(std::string sql) { eachPost_.push_back(std::move(sql)); }

    // For bulk loads through COPY ... FROM STDIN, and for waiting on the server's socket.
    PgConnection& connection() { return connection_; }

private:
    // What posts need to know of a table: its key column, and which columns have defaults.
    struct KnownTable {
        std::string keyColumn;
        std::vector<bool> defaulted;
    };
    // A post on its way: how many answers it brings, how many came, and what its statement's means.
    struct SentPost {
        std::size_t answers = 0;
        std::size_t seen = 0;
        bool checksChange = false;                           // an update: no row changed is a conflict
        Table* appendedTo = nullptr;                         // an append: the snapshot holding its row
        std::size_t row = 0;                                 // ... the row there
        const std::vector<std::size_t>* returned = nullptr;  // ... the fields read back after its key
        std::optional<RowKey> key;
        std::optional<Error> refusal;
        bool skipped = false;  // not done, because a post before it was refused
    };
    // An INSERT ... RETURNING for one set of given fields, and the fields it reads back.
    struct AppendSql {
        std::string sql;
        std::vector<std::size_t> returned;
    };
    class OnePost;

    explicit PostgresStore(const std::string& conninfo);
    // Known from the table's load or else from the catalogue; throws when the table has no key column,
    // since a row could not be told from another.
    const KnownTable& knownTable(const std::string& table);
    // Every post answered and the pipeline left, before a command of another kind.
    void settle();
    // A post made inside a transaction of the caller's runs at once, one at a time, and joins it.
    bool joinsTransaction() const;
    PgResult postJoined(const std::string& sql, std::span<const std::optional<std::string_view>> params);
    const AppendSql& appendSql(const std::string& table, const KnownTable& known, const Table& snapshot,
                               std::span<const FieldValue> values);
    // One post in a transaction of its own: sent ahead within a batch, else waited for. An append's row
    // joins its snapshot, as written, once sent. Returns an append's key when waited for.
    std::optional<RowKey> post(const AppendSql& statement, std::span<const FieldValue> values,
                               Table& snapshot);
    void post(const std::string& sql, std::span<const std::optional<std::string_view>> params,
              std::nullptr_t);
    std::optional<RowKey> post(const std::string& sql,
                               std::span<const std::optional<std::string_view>> params, SentPost sent,
                               std::span<const FieldValue> written);
    void send(const std::string& sql, std::span<const std::optional<std::string_view>> params, SentPost post);
    // Sends what is queued and asks the server for its answers so far.
    void push();
    // Reads the answers that have come, waiting while more than `mayStayOpen` posts are open, and
    // tells the outcomes; throws a post's refusal once it is told.
    void collect(std::size_t mayStayOpen);
    void takeStatementAnswer(SentPost& post, const PgResult& answer);
    // A lost connection: every post still open is told refused.
    void refuseAllOpen() noexcept;
    void leavePipeline() noexcept;

    PgConnection connection_;
    PostgresChangeFeed changes_{connection_};
    bool readOnly_ = false;
    std::map<std::string, KnownTable> tables_;
    std::vector<std::string> eachPost_;
    PostOutcomes* outcomes_ = nullptr;  // while a batch is open
    std::deque<SentPost> sent_;
    std::map<std::string, AppendSql> appendSql_;  // by table and the fields given
    bool piped_ = false;                          // the connection is in pipeline mode
    std::size_t unpushed_ = 0;                    // posts queued since the last push
};

}  // namespace lumaref
