#pragma once

#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "db/postgres_connection.h"
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
    // A post on its way: how many answers it brings, how many came, and what its statement's means.
    struct SentPost {
        std::size_t answers = 0;
        std::size_t seen = 0;
        Table* appendedTo = nullptr;  // an append: the snapshot holding its row
        std::size_t row = 0;
        std::optional<RowKey> key;
    };

    class OnePost;

    explicit PostgresStore(const std::string& conninfo);
    // Every post answered and the pipeline left, before a command of another kind.
    void settle();
    // A post made inside a transaction of the caller's runs at once, one at a time, and joins it.
    bool joinsTransaction() const;
    PgResult postJoined(const std::string& sql, std::span<const std::optional<std::string_view>> params);
    // One post in a transaction of its own: sent ahead within a batch, else waited for. An append
    // names the snapshot its row joins, as written, once sent. Returns an append's key when waited for.
    std::optional<RowKey> post(const std::string& sql, std::span<const std::optional<std::string_view>> params,
                               Table* appendedTo, const std::span<const FieldValue>* written);
    // The key column of a table, known from its load or else from the catalogue; throws when the
    // table has none, since a row could not be told from another.
    const std::string& keyColumn(const std::string& table);
    void send(const std::string& sql, std::span<const std::optional<std::string_view>> params, SentPost post);
    // Reads the answers that have come, waiting while more than `mayStayOpen` posts are open, and
    // tells the outcomes.
    void collect(std::size_t mayStayOpen);
    // After a refusal or a lost connection: every open post undone, the pipeline left, the
    // transaction rolled back, and the refusal thrown in the program's words.
    [[noreturn]] void fail(std::exception_ptr why);
    void leavePipeline() noexcept;

    PgConnection connection_;
    bool readOnly_ = false;
    std::map<std::string, std::string> keyColumns_;
    std::vector<std::string> eachPost_;
    PostOutcomes* outcomes_ = nullptr;  // while a batch is open
    std::deque<SentPost> sent_;
    bool piped_ = false;                // the connection is in pipeline mode
};

}  // namespace lumaref
