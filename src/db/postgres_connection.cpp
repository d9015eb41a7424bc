#include "db/postgres_connection.h"

#include <libpq-fe.h>

#include <charconv>
#include <vector>

#include "text/error.h"

namespace lumaref {

namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// The server's own sentence and code, or libpq's when the server said nothing.
PgError failure(pg_conn* conn, const pg_result* result) {
    const char* primary = result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return PgError(primary != nullptr ? primary : trimmed(PQerrorMessage(conn)),
                   state != nullptr ? state : "");
}

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

void PgConnection::Finish::operator()(pg_conn* conn) const { PQfinish(conn); }

PgConnection::PgConnection(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
    if (conn_ == nullptr || PQstatus(conn_.get()) != CONNECTION_OK) {
        const std::string reason = conn_ ? trimmed(PQerrorMessage(conn_.get())) : "out of memory";
        throw Error("Could not connect to the database server: " + reason);
    }
    // Values cross as UTF-8, whatever the server's or the client's locale.
    PQsetClientEncoding(conn_.get(), "UTF8");
    exec("SET datestyle = ISO; SET extra_float_digits = 1");
}

PgConnection::~PgConnection() = default;

PgResult PgConnection::checked(pg_result* raw) {
    PgResult result(raw);
    const ExecStatusType status = PQresultStatus(raw);
    if (raw == nullptr || (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
                           status != PGRES_COPY_IN && status != PGRES_COPY_OUT)) {
        throw failure(conn_.get(), raw);
    }
    return result;
}

PgResult PgConnection::exec(const std::string& sql) { return checked(PQexec(conn_.get(), sql.c_str())); }

PgResult PgConnection::execPrepared(const std::string& sql,
                                    std::span<const std::optional<std::string_view>> params) {
    auto found = prepared_.find(sql);
    if (found == prepared_.end()) {
        std::string name = "lumaref_" + std::to_string(prepared_.size() + 1);
        checked(PQprepare(conn_.get(), name.c_str(), sql.c_str(), 0, nullptr));
        found = prepared_.emplace(sql, std::move(name)).first;
    }
    // Text parameters must end in a NUL: libpq takes lengths only for binary ones.
    std::vector<std::string> copies(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (params[i]) {
            copies[i].assign(*params[i]);
            values[i] = copies[i].c_str();
        }
    }
    return checked(PQexecPrepared(conn_.get(), found->second.c_str(), static_cast<int>(params.size()),
                                  values.data(), nullptr, nullptr, 0));
}

bool PgConnection::inTransaction() const { return PQtransactionStatus(conn_.get()) != PQTRANS_IDLE; }

void PgConnection::copyIn(const std::string& sql) {
    const PgResult started = checked(PQexec(conn_.get(), sql.c_str()));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN) throw Error("The server did not start the copy.");
}

void PgConnection::putCopyData(std::string_view rows) {
    if (PQputCopyData(conn_.get(), rows.data(), static_cast<int>(rows.size())) != 1) {
        throw PgError(trimmed(PQerrorMessage(conn_.get())), "");
    }
}

void PgConnection::abortCopyIn(const char* reason) {
    PQputCopyEnd(conn_.get(), reason);
    for (pg_result* raw = nullptr; (raw = PQgetResult(conn_.get())) != nullptr;) PQclear(raw);
}

void PgConnection::endCopyIn() {
    if (PQputCopyEnd(conn_.get(), nullptr) != 1) throw PgError(trimmed(PQerrorMessage(conn_.get())), "");
    // Every result is read, so the connection is ready for the next command even after a refusal.
    std::optional<PgError> refused;
    for (pg_result* raw = nullptr; (raw = PQgetResult(conn_.get())) != nullptr;) {
        const PgResult result(raw);
        if (!refused && PQresultStatus(raw) != PGRES_COMMAND_OK) refused = failure(conn_.get(), raw);
    }
    if (refused) throw *refused;
}

}  // namespace lumaref
