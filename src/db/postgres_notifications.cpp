#include "db/postgres_notifications.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>

#include "db/postgres_connection.h"
#include "db/statement.h"

namespace lumaref {

namespace {

// An escape string literal, so its meaning does not hang on standard_conforming_strings.
std::string escapedLiteral(std::string_view text) {
    std::string literal = "E'";
    for (const char c : text) {
        if (c == '\'' || c == '\\') literal += c;
        literal += c;
    }
    return literal + "'";
}

struct FreeNotify {
    void operator()(PGnotify* notify) const { PQfreemem(notify); }
};

}  // namespace

std::string withChangeNotice(std::string_view post, std::string_view table, std::string_view keyColumn,
                             std::string_view returning) {
    std::string sql = "WITH posted AS (";
    sql.append(post);
    sql += " RETURNING ";
    sql.append(returning);
    // OR runs its second term only when the first is false: the notification only when the lock is
    // held shared by a watcher.
    sql += ") SELECT posted.* FROM posted WHERE pg_try_advisory_xact_lock(" + std::to_string(kWatchLockKey) +
           ") OR EXISTS (SELECT FROM pg_notify(" + escapedLiteral(kChangeChannel) + ", " +
           escapedLiteral(quoteIdentifier(table)) + "::regclass::oid::text || chr(9) || posted." +
           quoteIdentifier(keyColumn) + "))";
    return sql;
}

void notifyTableReplaced(PgConnection& connection, std::string_view table) {
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> params[] = {kChangeChannel, std::string_view(quoted)};
    connection.execPrepared("SELECT pg_notify($1, $2::regclass::oid::text || chr(9) || '*')", params);
}

void PostgresChangeFeed::watch(const std::string& table) {
    const std::string quoted = quoteIdentifier(table);
    const std::optional<std::string_view> name[] = {std::string_view(quoted)};
    const PgResult oid = connection_.execPrepared("SELECT to_regclass($1)::oid", name);
    // A table that is not there has nothing to watch; its load says so.
    if (oid.rows() == 1 && !oid.isNull(0, 0)) watched_[std::string(oid.value(0, 0))] = table;
    listenAgainIfNeeded();
}

void PostgresChangeFeed::listenAgainIfNeeded() {
    if (watched_.empty()) return;
    const int pid = PQbackendPID(connection_.handle());
    if (pid == 0 || pid == listeningPid_) return;
    connection_.exec("SELECT pg_advisory_lock_shared(" + std::to_string(kWatchLockKey) + ")");
    connection_.exec("LISTEN " + quoteIdentifier(kChangeChannel));
    if (listeningPid_ != 0) {
        for (const auto& [oid, table] : watched_) pending_[table].everyRow = true;
    }
    listeningPid_ = pid;
}

void PostgresChangeFeed::take(std::string_view payload) {
    const std::size_t tab = payload.rfind('\t');
    if (tab == std::string_view::npos) return;
    // Another schema's table of the same name is another table: its number tells them apart.
    const auto watched = watched_.find(std::string(payload.substr(0, tab)));
    if (watched == watched_.end()) return;
    const std::string& table = watched->second;
    const std::string_view what = payload.substr(tab + 1);
    TableChanges& changes = pending_[table];
    if (what == "*") {
        changes.everyRow = true;
        return;
    }
    RowKey key = 0;
    const auto [end, error] = std::from_chars(what.data(), what.data() + what.size(), key);
    if (error != std::errc() || end != what.data() + what.size()) {
        changes.everyRow = true;  // not ours to read: be safe
    } else {
        changes.keys.push_back(key);
    }
}

std::vector<TableChanges> PostgresChangeFeed::othersChanges() {
    listenAgainIfNeeded();
    if (watched_.empty()) return {};
    // The server process sends what was committed before it answers, so one round trip brings every
    // notification of a commit made before this call.
    connection_.exec("SELECT 1");
    pg_conn* conn = connection_.handle();
    const int own = PQbackendPID(conn);
    while (PGnotify* raw = PQnotifies(conn)) {
        const std::unique_ptr<PGnotify, FreeNotify> notify(raw);
        if (notify->be_pid != own && kChangeChannel == notify->relname) take(notify->extra);
    }
    std::vector<TableChanges> changed = changesByTable(std::move(pending_));
    pending_.clear();
    return changed;
}

}  // namespace lumaref
