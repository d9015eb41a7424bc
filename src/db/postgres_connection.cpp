#include "db/postgres_connection.h"

#include <libpq-fe.h>

#include <charconv>
#include <chrono>
#include <vector>

#include "db/postgres_connect.h"
#include "db/postgres_wait.h"
#include "text/error.h"

namespace lumaref {

namespace {

// The server's own sentence and code for a refusal.
PgError refusal(const pg_result* result) {
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    return PgError(primary != nullptr ? primary : "The server refused the command.",
                   state != nullptr ? state : "");
}

bool failed(const pg_result* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_BAD_RESPONSE || status == PGRES_NONFATAL_ERROR || status == PGRES_FATAL_ERROR;
}

// Text parameters must end in a NUL: libpq takes lengths only for binary ones.
struct TextParams {
    explicit TextParams(std::span<const std::optional<std::string_view>> params)
        : copies(params.size()), values(params.size(), nullptr) {
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (params[i]) {
                copies[i].assign(*params[i]);
                values[i] = copies[i].c_str();
            }
        }
    }
    int count() const { return static_cast<int>(values.size()); }
    std::vector<std::string> copies;
    std::vector<const char*> values;
};

}  // namespace

bool isPostgresConnectionString(std::string_view text) {
    if (text.starts_with("postgresql://") || text.starts_with("postgres://")) return true;
    if (text.find_first_not_of(" \t") == std::string_view::npos) return false;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(std::string(text).c_str(), &error);
    PQfreemem(error);
    PQconninfoFree(options);
    return options != nullptr;
}

bool namesPassword(std::string_view conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(std::string(conninfo).c_str(), &error);
    PQfreemem(error);
    bool found = false;
    for (const PQconninfoOption* option = options; option != nullptr && option->keyword != nullptr;
         ++option) {
        if (std::string_view(option->keyword) == "password" && option->val != nullptr) found = true;
    }
    PQconninfoFree(options);
    return found;
}

void PgResult::Clear::operator()(pg_result* result) const { PQclear(result); }

int PgResult::rows() const { return PQntuples(result_.get()); }
int PgResult::columns() const { return PQnfields(result_.get()); }
bool PgResult::isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) == 1; }

std::string_view PgResult::value(int row, int column) const {
    return {PQgetvalue(result_.get(), row, column),
            static_cast<std::size_t>(PQgetlength(result_.get(), row, column))};
}

long PgResult::affectedRows() const {
    const std::string_view text = PQcmdTuples(result_.get());
    long count = 0;
    std::from_chars(text.data(), text.data() + text.size(), count);
    return count;
}

std::optional<PgError> PgResult::refusal() const {
    if (PQresultStatus(result_.get()) == PGRES_PIPELINE_ABORTED)
        return PgError("The command was skipped after an earlier one failed.", "");
    if (!failed(result_.get())) return std::nullopt;
    return lumaref::refusal(result_.get());
}

bool PgResult::isSync() const { return PQresultStatus(result_.get()) == PGRES_PIPELINE_SYNC; }

bool PgResult::skipped() const { return PQresultStatus(result_.get()) == PGRES_PIPELINE_ABORTED; }

void PgConnection::Finish::operator()(pg_conn* conn) const { PQfinish(conn); }

PgConnection::PgConnection(const std::string& conninfo) : conn_(connectToServer(conninfo)) {
    server_ = serverName(conn_.get());
    database_ = PQdb(conn_.get()) != nullptr ? PQdb(conn_.get()) : "";
    exec("SET datestyle = ISO; SET extra_float_digits = 1");
}

PgConnection::~PgConnection() = default;

int PgConnection::socket() const { return PQsocket(conn_.get()); }

bool PgConnection::lost() const { return broken_ || PQstatus(conn_.get()) == CONNECTION_BAD; }

void PgConnection::broken(const std::string& why) {
    broken_ = true;
    throw PgConnectionLost(why);
}

void PgConnection::failedToSend() {
    if (lost()) broken("The connection to the database server " + server_ + " was lost.");
    // Not the network: a command libpq would not send in this state, which is the program's fault.
    throw Error("The database connection could not send a command.");
}

void PgConnection::awaitSocket(bool forWriting, const char* waitingFor) {
    if (lost()) broken("The connection to the database server " + server_ + " was lost.");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kReplyTimeoutSeconds);
    switch (waitForSocket(socket(), forWriting, deadline)) {
        case SocketWait::Ready:
            return;
        case SocketWait::TimedOut:
            broken("The database server " + server_ + " sent nothing for " +
                   std::to_string(kReplyTimeoutSeconds) + " seconds while " + waitingFor +
                   "; the connection was given up.");
        case SocketWait::StopRequested:
            broken("Stopped while " + std::string(waitingFor) + " from the database server " + server_ + ".");
    }
}

void PgConnection::flushAll(const char* waitingFor) {
    for (;;) {
        const int left = PQflush(conn_.get());
        if (left == 0) return;
        if (left < 0) failedToSend();
        awaitSocket(true, waitingFor);
        // The server may be waiting for us to read before it reads more.
        if (PQconsumeInput(conn_.get()) == 0) failedToSend();
    }
}

void PgConnection::awaitResult(const char* waitingFor) {
    while (PQisBusy(conn_.get()) != 0) {
        awaitSocket(false, waitingFor);
        if (PQconsumeInput(conn_.get()) == 0) failedToSend();
    }
}

PgResult PgConnection::finishCommand(const char* waitingFor) {
    flushAll("sending a command");
    std::optional<PgResult> last;
    std::optional<PgError> refused;
    for (;;) {
        awaitResult(waitingFor);
        pg_result* raw = PQgetResult(conn_.get());
        if (raw == nullptr) break;
        PgResult result(raw);
        const ExecStatusType status = PQresultStatus(raw);
        // A copy goes on from here, its result still to come.
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT) return result;
        if (failed(raw) && !refused) {
            if (lost()) broken("The connection to the database server " + server_ + " was lost.");
            refused = refusal(raw);
        }
        last = std::move(result);
    }
    // Every result is read first, so the connection is ready for the next command after a refusal.
    if (refused) throw *refused;
    if (lost()) broken("The connection to the database server " + server_ + " was lost.");
    if (!last) throw Error("The database server " + server_ + " sent no answer.");
    return std::move(*last);
}

PgResult PgConnection::exec(const std::string& sql) {
    if (PQsendQuery(conn_.get(), sql.c_str()) == 0) failedToSend();
    return finishCommand("waiting for an answer");
}

const std::string& PgConnection::preparedName(const std::string& sql, bool queued) {
    auto found = prepared_.find(sql);
    if (found != prepared_.end()) return found->second;
    std::string name = "lumaref_" + std::to_string(++statementsNamed_);
    if (queued) {
        if (PQsendPrepare(conn_.get(), name.c_str(), sql.c_str(), 0, nullptr) == 0) failedToSend();
        answers_.push_back(sql);
    } else {
        if (PQsendPrepare(conn_.get(), name.c_str(), sql.c_str(), 0, nullptr) == 0) failedToSend();
        finishCommand("waiting for an answer");
    }
    return prepared_.emplace(sql, std::move(name)).first->second;
}

PgResult PgConnection::execPrepared(const std::string& sql,
                                    std::span<const std::optional<std::string_view>> params) {
    const std::string& name = preparedName(sql, false);
    const TextParams values(params);
    if (PQsendQueryPrepared(conn_.get(), name.c_str(), values.count(), values.values.data(), nullptr, nullptr,
                            0) == 0)
        failedToSend();
    return finishCommand("waiting for an answer");
}

bool PgConnection::inTransaction() const { return PQtransactionStatus(conn_.get()) != PQTRANS_IDLE; }

void PgConnection::copyIn(const std::string& sql) {
    const PgResult started = exec(sql);
    if (PQresultStatus(started.get()) != PGRES_COPY_IN) throw Error("The server did not start the copy.");
}

void PgConnection::putCopyData(std::string_view rows) {
    for (;;) {
        const int sent = PQputCopyData(conn_.get(), rows.data(), static_cast<int>(rows.size()));
        if (sent == 1) break;
        if (sent < 0) failedToSend();
        awaitSocket(true, "sending rows");
        if (PQconsumeInput(conn_.get()) == 0) failedToSend();
    }
    flushAll("sending rows");
}

void PgConnection::abortCopyIn(const char* reason) {
    if (lost()) return;
    try {
        while (PQputCopyEnd(conn_.get(), reason) == 0) awaitSocket(true, "ending a copy");
        flushAll("ending a copy");
        for (;;) {
            awaitResult("waiting for an answer");
            pg_result* raw = PQgetResult(conn_.get());
            if (raw == nullptr) break;
            PQclear(raw);
        }
    } catch (const PgConnectionLost&) {
        // Nothing more to end: the server drops the copy with the connection.
    }
}

void PgConnection::endCopyIn() {
    for (;;) {
        const int ended = PQputCopyEnd(conn_.get(), nullptr);
        if (ended == 1) break;
        if (ended < 0) failedToSend();
        awaitSocket(true, "ending a copy");
    }
    flushAll("ending a copy");
    finishCopy();
    if (lost()) broken("The connection to the database server " + server_ + " was lost.");
}

// Every result is read, so the connection is ready for the next command even after a refusal.
void PgConnection::finishCopy() {
    std::optional<PgError> refused;
    for (;;) {
        awaitResult("waiting for the copy to finish");
        pg_result* raw = PQgetResult(conn_.get());
        if (raw == nullptr) break;
        const PgResult result(raw);
        if (!refused && PQresultStatus(raw) != PGRES_COMMAND_OK) {
            if (lost()) broken("The connection to the database server " + server_ + " was lost.");
            refused = refusal(raw);
        }
    }
    if (refused) throw *refused;
}

bool PgConnection::nextCopyRow(char*& row, int& length) {
    for (;;) {
        length = PQgetCopyData(conn_.get(), &row, 1);
        if (length > 0) return true;
        if (length == -1) break;
        if (length == -2) broken("The connection to the database server " + server_ + " was lost.");
        awaitSocket(false, "receiving rows");
        if (PQconsumeInput(conn_.get()) == 0) failedToSend();
    }
    finishCopy();
    return false;
}

void PgConnection::freeCopyRow(char* row) { PQfreemem(row); }

void PgConnection::enterPipeline() {
    if (PQenterPipelineMode(conn_.get()) == 0) failedToSend();
}

void PgConnection::queuePrepared(const std::string& sql,
                                 std::span<const std::optional<std::string_view>> params) {
    const std::string& name = preparedName(sql, true);
    const TextParams values(params);
    if (PQsendQueryPrepared(conn_.get(), name.c_str(), values.count(), values.values.data(), nullptr, nullptr,
                            0) == 0)
        failedToSend();
    answers_.emplace_back();
}

void PgConnection::queue(const std::string& sql) {
    if (PQsendQueryParams(conn_.get(), sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) == 0)
        failedToSend();
    answers_.emplace_back();
}

void PgConnection::queueSync() {
    if (PQpipelineSync(conn_.get()) == 0) failedToSend();
    answers_.emplace_back();
    ++syncsQueued_;
}

void PgConnection::push() {
    if (PQsendFlushRequest(conn_.get()) == 0) failedToSend();
    if (PQflush(conn_.get()) < 0) failedToSend();
}

std::optional<PgResult> PgConnection::nextPipelineResult(bool wait) {
    for (;;) {
        if (answers_.empty()) return std::nullopt;
        // The socket is read only when what came already holds no whole answer: each read moves what
        // is left in libpq's buffer.
        if (PQisBusy(conn_.get()) != 0) {
            if (PQflush(conn_.get()) < 0) failedToSend();
            if (PQconsumeInput(conn_.get()) == 0) failedToSend();
            if (PQisBusy(conn_.get()) != 0) {
                if (!wait) return std::nullopt;
                // Whatever is still queued must reach the server before its answer can come.
                awaitSocket(PQflush(conn_.get()) == 1, "waiting for an answer");
                continue;
            }
        }
        pg_result* raw = PQgetResult(conn_.get());
        if (raw == nullptr) {
            // The marker after a command's result, or nothing at all on a broken connection.
            if (lost()) broken("The connection to the database server " + server_ + " was lost.");
            continue;
        }
        PgResult result(raw);
        if (failed(raw) && lost()) broken("The connection to the database server " + server_ + " was lost.");
        const std::string prepare = std::move(answers_.front());
        answers_.pop_front();
        if (prepare.empty()) {
            if (PQresultStatus(raw) == PGRES_PIPELINE_SYNC) --syncsQueued_;
            if (failedPrepare_ && PQresultStatus(raw) == PGRES_PIPELINE_ABORTED) {
                PgResult instead = std::move(*failedPrepare_);
                failedPrepare_.reset();
                return instead;
            }
            return result;
        }
        // A Prepare that failed, or was skipped after a failure, left no statement behind.
        if (failed(raw) || PQresultStatus(raw) == PGRES_PIPELINE_ABORTED) prepared_.erase(prepare);
        if (failed(raw)) failedPrepare_.emplace(std::move(result));
    }
}

void PgConnection::exitPipeline() {
    answers_.clear();
    failedPrepare_.reset();
    syncsQueued_ = 0;
    if (PQexitPipelineMode(conn_.get()) == 0 && !lost())
        throw Error("The database connection could not leave pipeline mode.");
}

}  // namespace lumaref
