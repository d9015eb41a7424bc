#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "db/store.h"
#include "text/error.h"

struct pg_conn;
struct pg_result;

namespace lumaref {

// True for what libpq takes as a connection: a postgresql:// (or postgres://) URI, or a key=value
// string of libpq's own keywords. An ADO connection string ("Data Source=...;") is neither.
bool isPostgresConnectionString(std::string_view text);

// True when a libpq connection string names a password, which belongs in libpq's own sources instead.
bool namesPassword(std::string_view conninfo);

// The server's refusal of a command: its own sentence, and its SQLSTATE code.
class PgError : public Error {
public:
    PgError(const std::string& message, std::string sqlState)
        : Error(message), sqlState_(std::move(sqlState)) {}
    const std::string& sqlState() const { return sqlState_; }

private:
    std::string sqlState_;
};

using PgConnectionLost = ConnectionLost;

// One result of a command, freed when it goes.
class PgResult {
public:
    explicit PgResult(pg_result* result) : result_(result) {}
    pg_result* get() const { return result_.get(); }
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    std::string_view value(int row, int column) const;
    // How many rows an UPDATE or INSERT touched.
    long affectedRows() const;
    // The server's refusal, or a command skipped in a pipeline after one; nullopt for a success.
    std::optional<PgError> refusal() const;
    // The answer to a pipeline's sync point.
    bool isSync() const;
    // A command a pipeline skipped because one before it failed.
    bool skipped() const;

private:
    struct Clear {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

// One libpq connection, closed when it goes. Passwords come from libpq's own sources (~/.pgpass,
// PGPASSWORD, a service file); nothing here reads or keeps one. Every wait for the server polls its
// socket beside the stop request (stop_request.h), so none outlasts a stop, a connect timeout, or a
// server silent for kReplyTimeoutSeconds. A refusal throws PgError with the server's sentence; a broken
// connection PgConnectionLost in the program's words.
class PgConnection {
public:
    // How long a command waits for a server that sends nothing at all.
    static constexpr int kReplyTimeoutSeconds = 60;

    // Throws Error naming the server (postgres_connect.h).
    explicit PgConnection(const std::string& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    pg_conn* handle() const { return conn_.get(); }
    // The connection's socket, for a caller that waits on the server beside other things.
    int socket() const;
    // "host:port" (or the socket's path) and the database, as messages name them.
    const std::string& server() const { return server_; }
    const std::string& database() const { return database_; }
    // True once the connection has broken: it then answers nothing more.
    bool lost() const;

    // A command without parameters; any rows it returns come back in text form. Of several commands
    // in one text the last one's result is returned, and the first refusal thrown.
    PgResult exec(const std::string& sql);
    // A command with text parameters (nullopt: null), prepared on first use and kept under its text.
    PgResult execPrepared(const std::string& sql, std::span<const std::optional<std::string_view>> params);
    bool inTransaction() const;

    // COPY ... FROM STDIN: start, send text rows, finish (which throws the server's refusal).
    void copyIn(const std::string& sql);
    void putCopyData(std::string_view rows);
    void endCopyIn();
    // Ends a copy that cannot be finished; the server then refuses the command and its transaction.
    void abortCopyIn(const char* reason);

    // COPY ... TO STDOUT, started by exec(): the next row into `row` (freed with freeCopyRow), or
    // false once every row came and the command finished; throws its refusal.
    bool nextCopyRow(char*& row, int& length);
    static void freeCopyRow(char* row);

    // Pipeline mode: commands are sent without waiting for their answers, which come back in order.
    void enterPipeline();
    // Queues a command with text parameters, prepared the first time its text is queued or run.
    void queuePrepared(const std::string& sql, std::span<const std::optional<std::string_view>> params);
    // Queues a command without parameters (BEGIN, COMMIT, NOTIFY ...).
    void queue(const std::string& sql);
    // Queues a synchronisation point: a refusal skips every command queued before the next one.
    void queueSync();
    // True while a sync point queued has not been answered.
    bool syncQueued() const { return syncsQueued_ > 0; }
    // Sends what is queued, as far as the socket takes it without waiting; asks the server to send its
    // answers so far.
    void push();
    // The next answer: a command's result, PGRES_PIPELINE_SYNC for a sync point, or nullopt when
    // `wait` is false and none has come yet. The empty marker after each command's result is skipped.
    std::optional<PgResult> nextPipelineResult(bool wait);
    // Back to one command at a time; every sync point must have been answered.
    void exitPipeline();

private:
    struct Finish {
        void operator()(pg_conn* conn) const;
    };
    // Sends the command just given to libpq and reads every result it brings: the last one, or the
    // first refusal (thrown once all are read, so the connection is ready for the next command).
    PgResult finishCommand(const char* waitingFor);
    // Makes sure a statement is prepared, by a round trip or, in pipeline mode, a queued Prepare.
    const std::string& preparedName(const std::string& sql, bool queued);
    // Sends everything libpq holds for the server, waiting for the socket as needed.
    void flushAll(const char* waitingFor);
    // Reads what the server sent until a result can be taken without blocking.
    void awaitResult(const char* waitingFor);
    // The results that end a copy, in either direction; throws the server's refusal, if any.
    void finishCopy();
    void awaitSocket(bool forWriting, const char* waitingFor);
    [[noreturn]] void broken(const std::string& why);
    [[noreturn]] void failedToSend();

    std::unique_ptr<pg_conn, Finish> conn_;
    std::string server_;
    std::string database_;
    bool broken_ = false;
    std::unordered_map<std::string, std::string> prepared_;  // statement text -> its server-side name
    // In pipeline mode, what each answer still to come belongs to: a Prepare queued on the way (the
    // statement's text, answered quietly) or a caller's command or sync point (empty).
    std::deque<std::string> answers_;
    std::optional<PgResult> failedPrepare_;  // given in place of its command's skipped answer
    int syncsQueued_ = 0;
    int statementsNamed_ = 0;
};

// Runs `work` in one transaction: committed when it returns, rolled back when it throws. Inside a
// transaction already, the work joins it, to be committed or rolled back with the rest.
template <class Work>
void inOneTransaction(PgConnection& connection, Work work) {
    if (connection.inTransaction()) {
        work();
        return;
    }
    connection.exec("BEGIN");
    try {
        work();
        connection.exec("COMMIT");
    } catch (...) {
        try {
            if (!connection.lost()) connection.exec("ROLLBACK");
        } catch (const Error&) {
            // The connection is gone; the server rolls back on its own.
        }
        throw;
    }
}

}  // namespace lumaref
