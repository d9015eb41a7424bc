#include "db/postgres_store.h"

#include <charconv>
#include <exception>
#include <vector>

#include "db/postgres_table_load.h"
#include "db/postgres_values.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

// How many posts may be on their way at once: enough to keep the server busy, few enough that a
// refusal undoes little and the buffers stay small.
constexpr std::size_t kMaxPostsAhead = 2048;

// The answer a checked update gives when its row no longer holds what was read: it changed nothing,
// and the error stops the posts queued behind it, as a refusal does.
constexpr const char* kNothingChangedState = "22012";

const FieldInfo& fieldOf(const Table& snapshot, std::size_t column) {
    return snapshot.columns[column].info();
}

std::string placeholder(std::size_t number) { return "$" + std::to_string(number); }

// A post the server refuses says what the same refusal says with SQLite: a role that may not write
// reads as a read-only database, a lock that is not given up in time as a locked one.
Error postRefusal(const PgError& refused) {
    const std::string& state = refused.sqlState();
    if (state == "42501" || state == "25006") return Error(kReadOnlyMessage);
    if (state == "55P03" || state == "40P01") return Error(kLockedMessage);
    if (state == "53100") return Error(kDiskFullMessage);
    if (state == kNothingChangedState) return Error(kRowConflictMessage);
    return refused;
}

}  // namespace

// The outcome of one post outside a batch, waited for where it is made.
class PostgresStore::OnePost final : public PostOutcomes {
public:
    OnePost(Table* appendedTo, std::size_t row) : appendedTo_(appendedTo), row_(row) {}
    void committed(std::optional<RowKey> appendedKey) override { key = appendedKey; }
    // An append that was not stored leaves the snapshot as it was.
    void undone() override {
        if (appendedTo_ == nullptr) return;
        for (Column& column : appendedTo_->columns) column.truncate(row_);
    }
    std::optional<RowKey> key;

private:
    Table* appendedTo_;
    std::size_t row_;
};

std::unique_ptr<PostgresStore> PostgresStore::open(const std::string& conninfo, int lockTimeoutMs) {
    std::unique_ptr<PostgresStore> store(new PostgresStore(conninfo));
    store->setBusyTimeoutMs(lockTimeoutMs);
    store->readOnly_ = store->connection_.exec("SHOW transaction_read_only").value(0, 0) == "on";
    return store;
}

PostgresStore::PostgresStore(const std::string& conninfo) : connection_(conninfo) {}

PostgresStore::~PostgresStore() { abandonBatch(); }

void PostgresStore::settle() {
    collect(0);
    leavePipeline();
}

LoadedTable PostgresStore::load(const std::string& table) {
    settle();
    PostgresTable loaded = loadPostgresTable(connection_, table);
    keyColumns_[table] = loaded.keyColumn;
    return std::move(loaded.loaded);
}

bool PostgresStore::mayChange(const std::string& table) {
    if (readOnly_) return false;
    settle();
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> params[] = {std::string_view(quoted)};
    // A table that is not there is no question of rights: its load says so.
    return connection_
               .execPrepared("SELECT coalesce(has_table_privilege(to_regclass($1), 'INSERT') AND "
                             "has_table_privilege(to_regclass($1), 'UPDATE'), true)",
                             params)
               .value(0, 0) == "t";
}

const std::string& PostgresStore::keyColumn(const std::string& table) {
    auto known = keyColumns_.find(table);
    if (known == keyColumns_.end()) {
        settle();
        known = keyColumns_.emplace(table, loadPostgresTable(connection_, table).keyColumn).first;
    }
    if (known->second.empty()) {
        throw Error("The table '" + table +
                    "' has no key column (an identity column), so its rows cannot be changed.");
    }
    return known->second;
}

bool PostgresStore::joinsTransaction() const { return !piped_ && connection_.inTransaction(); }

PgResult PostgresStore::postJoined(const std::string& sql, std::span<const std::optional<std::string_view>> params) {
    try {
        return connection_.execPrepared(sql, params);
    } catch (const PgError& refused) {
        throw postRefusal(refused);
    }
}

// Only the changed fields are written, and only where they still hold what was read: IS NOT DISTINCT
// FROM, so a null read matches a null still there.
void PostgresStore::update(const std::string& table, const Table& snapshot, RowKey key,
                           std::span<const FieldChange> changes) {
    const std::string& keyName = keyColumn(table);
    std::string sets;
    std::string checks;
    std::vector<std::optional<std::string_view>> params;
    for (const auto& change : changes) {
        params.push_back(postgresParameter(fieldOf(snapshot, change.column), change.value));
        sets += (sets.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, change.column).name) + " = " +
                placeholder(params.size());
    }
    const std::string keyText = std::to_string(key);
    params.emplace_back(keyText);
    const std::string keyCheck = quoteIdentifier(keyName) + " = " + placeholder(params.size());
    for (const auto& change : changes) {
        params.push_back(postgresParameter(fieldOf(snapshot, change.column), change.original));
        checks += " AND " + quoteIdentifier(fieldOf(snapshot, change.column).name) +
                  " IS NOT DISTINCT FROM " + placeholder(params.size());
    }
    const std::string sql = "UPDATE " + quoteIdentifier(table) + " SET " + sets + " WHERE " + keyCheck + checks;
    if (joinsTransaction()) {
        if (postJoined(sql, params).affectedRows() == 0) throw Error(kRowConflictMessage);
        return;
    }
    // In a transaction of its own the update divides by the rows it changed, so a row changed meanwhile
    // fails the statement like a refusal and nothing queued behind it is done.
    post("WITH changed AS (" + sql + " RETURNING 1) SELECT 1 / count(*) FROM changed", params, nullptr, 0);
}

// RETURNING reads the row back as stored, database defaults included, in the same statement.
RowKey PostgresStore::append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) {
    const std::string& keyName = keyColumn(table);
    std::string returned = quoteIdentifier(keyName);
    for (const auto& column : snapshot.columns) returned += ", " + quoteIdentifier(column.info().name);
    std::string sql = "INSERT INTO " + quoteIdentifier(table);
    std::vector<std::optional<std::string_view>> params;
    if (values.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names;
        std::string marks;
        for (const auto& value : values) {
            params.push_back(postgresParameter(fieldOf(snapshot, value.column), value.value));
            names += (names.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, value.column).name);
            marks += (marks.empty() ? "" : ", ") + placeholder(params.size());
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    sql += " RETURNING " + returned;
    if (joinsTransaction()) {
        const PgResult row = postJoined(sql, params);
        if (row.rows() != 1 || row.columns() != static_cast<int>(snapshot.columns.size()) + 1)
            throw Error("The server did not return the appended row.");
        RowKey key = 0;
        std::from_chars(row.value(0, 0).data(), row.value(0, 0).data() + row.value(0, 0).size(), key);
        for (std::size_t i = 0; i < snapshot.columns.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            appendPostgresValue(snapshot.columns[i],
                                row.isNull(0, at) ? std::nullopt : std::optional<std::string_view>(row.value(0, at)));
        }
        return key;
    }
    // The row joins the snapshot as written when it is sent; the server's read-back then corrects it.
    return post(sql, params, &snapshot, &values).value_or(0);
}

std::optional<RowKey> PostgresStore::post(const std::string& sql,
                                          std::span<const std::optional<std::string_view>> params,
                                          Table* appendedTo, const std::span<const FieldValue>* written) {
    SentPost sent;
    sent.appendedTo = appendedTo;
    sent.row = appendedTo != nullptr ? appendedTo->rowCount() : 0;
    if (outcomes_ != nullptr) {
        collect(kMaxPostsAhead - 1);
        try {
            send(sql, params, sent);
        } catch (...) {
            fail(std::current_exception());
        }
        if (written != nullptr) appendWrittenRow(*appendedTo, *written);
        return std::nullopt;
    }
    OnePost one(appendedTo, sent.row);
    outcomes_ = &one;
    try {
        send(sql, params, sent);
        connection_.queueSync();
        connection_.push();
    } catch (...) {
        fail(std::current_exception());
    }
    if (written != nullptr) appendWrittenRow(*appendedTo, *written);
    collect(0);
    outcomes_ = nullptr;
    leavePipeline();
    return one.key;
}

void PostgresStore::send(const std::string& sql, std::span<const std::optional<std::string_view>> params,
                         SentPost post) {
    if (!piped_) {
        connection_.enterPipeline();
        piped_ = true;
    }
    connection_.queue("BEGIN");
    connection_.queuePrepared(sql, params);
    for (const std::string& statement : eachPost_) connection_.queue(statement);
    connection_.queue("COMMIT");
    connection_.push();
    post.answers = 3 + eachPost_.size();
    sent_.push_back(post);
}

void PostgresStore::collect(std::size_t mayStayOpen) {
    try {
        while (!sent_.empty()) {
            std::optional<PgResult> answer = connection_.nextPipelineResult(sent_.size() > mayStayOpen);
            if (!answer) return;
            if (std::optional<PgError> refused = answer->refusal()) throw postRefusal(*refused);
            SentPost& post = sent_.front();
            // The answers of BEGIN, the statement, the statements of every post and COMMIT.
            if (post.seen++ == 1) {
                if (post.appendedTo != nullptr) {
                    Table& snapshot = *post.appendedTo;
                    if (answer->rows() != 1 || answer->columns() != static_cast<int>(snapshot.columns.size()) + 1)
                        throw Error("The server did not return the appended row.");
                    RowKey key = 0;
                    const std::string_view keyText = answer->value(0, 0);
                    std::from_chars(keyText.data(), keyText.data() + keyText.size(), key);
                    post.key = key;
                    for (std::size_t i = 0; i < snapshot.columns.size(); ++i) {
                        const int at = static_cast<int>(i) + 1;
                        setPostgresValue(snapshot.columns[i], post.row,
                                         answer->isNull(0, at) ? std::nullopt
                                                               : std::optional<std::string_view>(answer->value(0, at)));
                    }
                }
            }
            if (post.seen < post.answers) continue;
            const std::optional<RowKey> key = post.key;
            sent_.pop_front();
            if (outcomes_ != nullptr) outcomes_->committed(key);
        }
    } catch (...) {
        fail(std::current_exception());
    }
}

void PostgresStore::fail(std::exception_ptr why) {
    sent_.clear();
    PostOutcomes* outcomes = outcomes_;
    outcomes_ = nullptr;
    leavePipeline();
    if (outcomes != nullptr) outcomes->undone();
    std::rethrow_exception(why);
}

void PostgresStore::leavePipeline() noexcept {
    if (!piped_) return;
    piped_ = false;
    try {
        if (!connection_.lost()) {
            // Whatever is still on its way is read and dropped, up to the last sync point.
            if (!connection_.syncQueued()) {
                connection_.queueSync();
                connection_.push();
            }
            while (const std::optional<PgResult> answer = connection_.nextPipelineResult(true)) {
                if (answer->isSync()) break;
            }
        }
        connection_.exitPipeline();
        // A refused post leaves its transaction open and failed.
        if (!connection_.lost() && connection_.inTransaction()) connection_.exec("ROLLBACK");
    } catch (...) {
        // A broken connection has nothing left to read; the server rolls back on its own.
    }
}

bool PostgresStore::beginBatch(PostOutcomes& outcomes) {
    // Inside a transaction of the caller's, each post joins it, one at a time.
    if (connection_.inTransaction()) return false;
    outcomes_ = &outcomes;
    return true;
}

void PostgresStore::finishBatch() {
    collect(0);
    outcomes_ = nullptr;
    leavePipeline();
}

void PostgresStore::abandonBatch() noexcept {
    try {
        finishBatch();
    } catch (...) {
        // Told to the outcomes already.
    }
    outcomes_ = nullptr;
}

void PostgresStore::setBusyTimeoutMs(int ms) {
    settle();
    connection_.exec("SET lock_timeout = " + std::to_string(ms));
}

}  // namespace lumaref
