#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

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

private:
    struct Clear {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

// One libpq connection, closed when it goes. Passwords come from libpq's own sources (~/.pgpass,
// PGPASSWORD, a service file); nothing here reads or keeps one. Every failure throws PgError with the
// server's text.
class PgConnection {
public:
    // Throws Error "Could not connect to the database server: <reason>".
    explicit PgConnection(const std::string& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    pg_conn* handle() const { return conn_.get(); }

    // A command without parameters; any rows it returns come back in text form.
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

private:
    struct Finish {
        void operator()(pg_conn* conn) const;
    };
    PgResult checked(pg_result* result);

    std::unique_ptr<pg_conn, Finish> conn_;
    std::unordered_map<std::string, std::string> prepared_;  // statement text -> its server-side name
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
            connection.exec("ROLLBACK");
        } catch (const Error&) {
            // The connection is gone; the server rolls back on its own.
        }
        throw;
    }
}

}  // namespace lumaref
