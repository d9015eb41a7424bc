#include "db/postgres_store.h"

#include <charconv>
#include <exception>
#include <vector>

#include "db/postgres_table_load.h"
#include "db/postgres_values.h"
#include "db/ranking_tables.h"
#include "db/statement.h"
#include "text/error.h"

namespace lumaref {

namespace {

// How many posts may be on their way at once: enough to keep the server busy, few enough that a
// refusal undoes little and the buffers stay small.
constexpr std::size_t kMaxPostsAhead = 2048;
// Posts go to the socket, and answers are read from it, this many at a time: one system call on each
// side for a few kilobytes instead of one per post.
constexpr std::size_t kPostsPerPush = 64;

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
    return refused;
}

}  // namespace

// The outcome of one post outside a batch, waited for where it is made.
class PostgresStore::OnePost final : public PostOutcomes {
public:
    OnePost(Table* appendedTo, std::size_t row) : appendedTo_(appendedTo), row_(row) {}
    void committed(std::optional<RowKey> appendedKey) override { key = appendedKey; }
    // An append that was not stored leaves the snapshot as it was.
    void refused() override {
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
    if (!store->readOnly_) addRankingTables(store->connection_);
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
    changes_.watch(table);
    PostgresTable loaded = loadPostgresTable(connection_, table);
    tables_[table] = {loaded.keyColumn, loaded.defaulted};
    return std::move(loaded.loaded);
}

bool PostgresStore::mayChange(const std::string& table) {
    if (readOnly_) return false;
    settle();
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> params[] = {std::string_view(quoted)};
    // A table that is not there is no question of rights: its load says so.
    return connection_
               .execPrepared(
                   "SELECT coalesce(has_table_privilege(to_regclass($1), 'INSERT') AND "
                   "has_table_privilege(to_regclass($1), 'UPDATE'), true)",
                   params)
               .value(0, 0) == "t";
}

const PostgresStore::KnownTable& PostgresStore::knownTable(const std::string& table) {
    auto known = tables_.find(table);
    if (known == tables_.end()) {
        settle();
        const PostgresTable loaded = loadPostgresTable(connection_, table);
        known = tables_.emplace(table, KnownTable{loaded.keyColumn, loaded.defaulted}).first;
    }
    if (known->second.keyColumn.empty()) {
        throw Error("The table '" + table +
                    "' has no key column (an identity column), so its rows cannot be changed.");
    }
    return known->second;
}

bool PostgresStore::joinsTransaction() const { return !piped_ && connection_.inTransaction(); }

PgResult PostgresStore::postJoined(const std::string& sql,
                                   std::span<const std::optional<std::string_view>> params) {
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
    const std::string& keyName = knownTable(table).keyColumn;
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
    const std::string sql =
        withChangeNotice("UPDATE " + quoteIdentifier(table) + " SET " + sets + " WHERE " + keyCheck + checks,
                         table, keyName, quoteIdentifier(keyName));
    if (joinsTransaction()) {
        if (postJoined(sql, params).affectedRows() == 0) throw Error(kRowConflictMessage);
        return;
    }
    post(sql, params, nullptr);
}

// RETURNING reads the row back as stored, database defaults included, in the same statement.
RowKey PostgresStore::append(const std::string& table, Table& snapshot, std::span<const FieldValue> values) {
    const KnownTable& known = knownTable(table);
    const std::string& keyName = known.keyColumn;
    if (!joinsTransaction())
        return post(appendSql(table, known, snapshot, values), values, snapshot).value_or(0);
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
    {
        const PgResult row = postJoined(withChangeNotice(sql, table, keyName, returned), params);
        if (row.rows() != 1 || row.columns() != static_cast<int>(snapshot.columns.size()) + 1)
            throw Error("The server did not return the appended row.");
        RowKey key = 0;
        std::from_chars(row.value(0, 0).data(), row.value(0, 0).data() + row.value(0, 0).size(), key);
        for (std::size_t i = 0; i < snapshot.columns.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            appendPostgresValue(snapshot.columns[i], row.isNull(0, at)
                                                         ? std::nullopt
                                                         : std::optional<std::string_view>(row.value(0, at)));
        }
        return key;
    }
}

// The row joins the snapshot as written when it is sent. What the record set sends is what the server
// stores (values reach a post in their field's own form), so only the fields left to a default of their
// column are read back, with the key.
const PostgresStore::AppendSql& PostgresStore::appendSql(const std::string& table, const KnownTable& known,
                                                         const Table& snapshot,
                                                         std::span<const FieldValue> values) {
    std::string given = table;
    given += '\0';
    for (const auto& value : values) given.append(std::to_string(value.column)).push_back(',');
    auto cached = appendSql_.find(given);
    if (cached != appendSql_.end()) return cached->second;

    std::string names;
    std::string marks;
    std::vector<bool> set(snapshot.columns.size(), false);
    for (std::size_t i = 0; i < values.size(); ++i) {
        set[values[i].column] = true;
        names += (names.empty() ? "" : ", ") + quoteIdentifier(fieldOf(snapshot, values[i].column).name);
        marks += (marks.empty() ? "" : ", ") + placeholder(i + 1);
    }
    AppendSql statement;
    std::string returned = quoteIdentifier(known.keyColumn);
    // A field left out reads back as null unless its column has a default.
    for (std::size_t i = 0; i < set.size(); ++i) {
        if (set[i] || i >= known.defaulted.size() || !known.defaulted[i]) continue;
        statement.returned.push_back(i);
        returned += ", " + quoteIdentifier(fieldOf(snapshot, i).name);
    }
    statement.sql = withChangeNotice(
        "INSERT INTO " + quoteIdentifier(table) +
            (values.empty() ? std::string(" DEFAULT VALUES") : " (" + names + ") VALUES (" + marks + ")"),
        table, known.keyColumn, returned);
    return appendSql_.emplace(std::move(given), std::move(statement)).first->second;
}

std::optional<RowKey> PostgresStore::post(const AppendSql& statement, std::span<const FieldValue> values,
                                          Table& snapshot) {
    std::vector<std::optional<std::string_view>> params;
    params.reserve(values.size());
    for (const auto& value : values)
        params.push_back(postgresParameter(fieldOf(snapshot, value.column), value.value));
    SentPost sent;
    sent.appendedTo = &snapshot;
    sent.row = snapshot.rowCount();
    sent.returned = &statement.returned;
    return post(statement.sql, params, sent, values);
}

std::optional<RowKey> PostgresStore::post(const std::string& sql,
                                          std::span<const std::optional<std::string_view>> params,
                                          SentPost sent, std::span<const FieldValue> written) {
    const auto joinSnapshot = [&] {
        if (sent.appendedTo != nullptr) appendWrittenRow(*sent.appendedTo, written);
    };
    if (outcomes_ != nullptr) {
        if (unpushed_ == 0 || sent_.size() >= kMaxPostsAhead) collect(kMaxPostsAhead - 1);
        send(sql, params, sent);
        joinSnapshot();
        return std::nullopt;
    }
    OnePost one(sent.appendedTo, sent.row);
    outcomes_ = &one;
    try {
        send(sql, params, sent);
        joinSnapshot();
        connection_.queueSync();
        push();
        collect(0);
    } catch (...) {
        outcomes_ = nullptr;
        leavePipeline();
        throw;
    }
    outcomes_ = nullptr;
    leavePipeline();
    return one.key;
}

void PostgresStore::post(const std::string& sql, std::span<const std::optional<std::string_view>> params,
                         std::nullptr_t) {
    SentPost sent;
    sent.checksChange = true;
    post(sql, params, sent, {});
}

void PostgresStore::send(const std::string& sql, std::span<const std::optional<std::string_view>> params,
                         SentPost post) {
    try {
        if (!piped_) {
            connection_.enterPipeline();
            piped_ = true;
        }
        connection_.queuePrepared("BEGIN", {});
        connection_.queuePrepared(sql, params);
        for (const std::string& statement : eachPost_) connection_.queue(statement);
        connection_.queuePrepared("COMMIT", {});
        post.answers = 3 + eachPost_.size();
        sent_.push_back(post);
        if (++unpushed_ >= kPostsPerPush) push();
    } catch (const ConnectionLost&) {
        refuseAllOpen();
        throw;
    }
}

void PostgresStore::push() {
    connection_.push();
    unpushed_ = 0;
}

void PostgresStore::collect(std::size_t mayStayOpen) {
    while (!sent_.empty()) {
        const bool wait = sent_.size() > mayStayOpen;
        // The server answers what it has been asked for, once asked to send it.
        if (wait && unpushed_ > 0) push();
        std::optional<PgResult> answer;
        try {
            answer = connection_.nextPipelineResult(wait);
        } catch (const ConnectionLost&) {
            refuseAllOpen();
            throw;
        }
        if (!answer) return;
        SentPost& post = sent_.front();
        // The answers of BEGIN, the statement, the statements of every post and COMMIT, in that order.
        const std::size_t index = post.seen++;
        if (std::optional<PgError> refusal = answer->refusal()) {
            // A command skipped after an earlier refusal is no refusal of its own.
            post.skipped = post.skipped || answer->skipped();
            if (!post.refusal && !answer->skipped()) post.refusal = postRefusal(*refusal);
        } else if (index == 1) {
            takeStatementAnswer(post, *answer);
        }
        if (post.seen < post.answers) continue;
        const SentPost done = std::move(post);
        sent_.pop_front();
        if (!done.refusal && !done.skipped) {
            if (outcomes_ != nullptr) outcomes_->committed(done.key);
            continue;
        }
        if (outcomes_ != nullptr) outcomes_->refused();
        if (done.refusal) throw *done.refusal;
    }
}

void PostgresStore::takeStatementAnswer(SentPost& post, const PgResult& answer) {
    // A row changed since it was read: the update wrote nothing, in a transaction of its own.
    if (post.checksChange && answer.affectedRows() == 0) {
        post.refusal = Error(kRowConflictMessage);
        return;
    }
    if (post.appendedTo == nullptr) return;
    Table& snapshot = *post.appendedTo;
    if (answer.rows() != 1 || answer.columns() != static_cast<int>(post.returned->size()) + 1) {
        post.refusal = Error("The server did not return the appended row.");
        return;
    }
    RowKey key = 0;
    const std::string_view keyText = answer.value(0, 0);
    std::from_chars(keyText.data(), keyText.data() + keyText.size(), key);
    post.key = key;
    for (std::size_t i = 0; i < post.returned->size(); ++i) {
        const int at = static_cast<int>(i) + 1;
        setPostgresValue(
            snapshot.columns[(*post.returned)[i]], post.row,
            answer.isNull(0, at) ? std::nullopt : std::optional<std::string_view>(answer.value(0, at)));
    }
}

void PostgresStore::refuseAllOpen() noexcept {
    const std::size_t open = sent_.size();
    sent_.clear();
    if (outcomes_ != nullptr)
        for (std::size_t i = 0; i < open; ++i) outcomes_->refused();
    leavePipeline();
}

void PostgresStore::leavePipeline() noexcept {
    if (!piped_) return;
    piped_ = false;
    try {
        if (!connection_.lost()) {
            // Whatever is still on its way is read and dropped, up to the last sync point.
            if (!connection_.syncQueued()) connection_.queueSync();
            push();
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
    // Every refusal is told to the outcomes; the job that made them has ended with its own error.
    for (;;) {
        try {
            collect(0);
            break;
        } catch (...) {
        }
    }
    outcomes_ = nullptr;
    leavePipeline();
}

std::vector<TableChanges> PostgresStore::othersChanges() {
    // Never in the middle of a job's posts: what they wait for comes first.
    if (outcomes_ != nullptr) return {};
    settle();
    return changes_.othersChanges();
}

LoadedTable PostgresStore::loadRows(const std::string& table, std::span<const RowKey> keys) {
    settle();
    return std::move(loadPostgresTable(connection_, table, keys).loaded);
}

void PostgresStore::setBusyTimeoutMs(int ms) {
    settle();
    connection_.exec("SET lock_timeout = " + std::to_string(ms));
}

}  // namespace lumaref
