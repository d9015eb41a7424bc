#include "db/postgres_connect.h"

#include <libpq-fe.h>

#include <charconv>
#include <chrono>
#include <memory>
#include <string_view>

#include "db/postgres_wait.h"
#include "text/error.h"

namespace lumaref {

namespace {

struct Finish {
    void operator()(pg_conn* conn) const { PQfinish(conn); }
};
using Owned = std::unique_ptr<pg_conn, Finish>;

// Keepalives notice a server that vanished behind a silent network (a firewall that drops, a paused
// machine) within about 25 seconds of silence, and unacknowledged data gives up after 30 seconds.
// Listed before the caller's string, so a setting there wins.
constexpr const char* kKeywords[] = {
    "keepalives",       "keepalives_idle", "keepalives_interval", "keepalives_count",
    "tcp_user_timeout", "dbname",          "client_encoding",     nullptr};
constexpr const char* kDefaults[] = {"1", "10", "5", "3", "30000"};

std::string databaseOf(const pg_conn* conn) {
    const char* name = PQdb(conn);
    return name != nullptr ? name : "";
}

// connect_timeout as the connection string or the environment set it, else the default; libpq only
// applies it in its blocking connect, so the wait below does.
int connectTimeoutSeconds(pg_conn* conn) {
    int seconds = kDefaultConnectTimeoutSeconds;
    PQconninfoOption* options = PQconninfo(conn);
    for (const PQconninfoOption* option = options; option != nullptr && option->keyword != nullptr;
         ++option) {
        if (std::string_view(option->keyword) != "connect_timeout" || option->val == nullptr) continue;
        const std::string_view text = option->val;
        int given = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), given);
        if (error == std::errc() && end == text.data() + text.size() && given > 0) seconds = given;
    }
    PQconninfoFree(options);
    return seconds;
}

std::string secondsText(int seconds) {
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

std::string where(const pg_conn* conn) {
    return "the database server " + serverName(conn) + " (database " + databaseOf(conn) + ")";
}

// One line of text as a sentence's inside: blanks run together, no tab, no final full stop.
std::string oneLine(std::string_view text) {
    text = text.substr(0, text.find('\n'));
    std::string cleaned;
    for (const char c : text) {
        const char blank = c == '\t' || c == '\r' ? ' ' : c;
        if (blank == ' ' && (cleaned.empty() || cleaned.back() == ' ')) continue;
        cleaned += blank;
    }
    while (!cleaned.empty() && (cleaned.back() == ' ' || cleaned.back() == '.')) cleaned.pop_back();
    return cleaned;
}

// The server's own sentence from a refused login ("FATAL:  database \"x\" does not exist"), without
// libpq's framing; empty when the text holds none.
std::string serverSentence(const pg_conn* conn) {
    const std::string_view text = PQerrorMessage(conn);
    for (const std::string_view severity : {"FATAL:", "ERROR:"}) {
        const std::size_t at = text.rfind(severity);
        if (at != std::string_view::npos) return oneLine(text.substr(at + severity.size()));
    }
    return {};
}

[[noreturn]] void refused(const pg_conn* conn, bool reached) {
    const std::string server = where(conn);
    if (PQconnectionNeedsPassword(conn)) {
        const char* user = PQuser(conn);
        throw Error(
            "Could not log in to " + server + " as " + (user != nullptr ? user : "") +
            ": the server asks for a password and none was found. Put it in ~/.pgpass "
            "(host:port:database:user:password, readable only by you), PGPASSWORD or a service file.");
    }
    if (!reached) {
        if (std::string_view(PQerrorMessage(conn)).find("could not translate host name") !=
            std::string_view::npos)
            throw Error("Could not reach " + server + ": the host name is not known.");
        throw Error("Could not reach " + server + ": nothing answered there.");
    }
    const std::string sentence = serverSentence(conn);
    throw Error(sentence.empty() ? "The connection to " + server + " was refused."
                                 : "The connection to " + server + " was refused: " + sentence + ".");
}

}  // namespace

std::string serverName(const pg_conn* conn) {
    const char* host = PQhost(conn);
    const char* port = PQport(conn);
    const std::string hostText = host != nullptr && *host != '\0' ? host : "localhost";
    const std::string portText = port != nullptr && *port != '\0' ? port : "5432";
    if (hostText.front() == '/') return hostText + "/.s.PGSQL." + portText;
    return hostText + ":" + portText;
}

pg_conn* connectToServer(const std::string& conninfo) {
    const char* values[] = {kDefaults[0], kDefaults[1],     kDefaults[2], kDefaults[3],
                            kDefaults[4], conninfo.c_str(), "UTF8",       nullptr};
    Owned conn(PQconnectStartParams(kKeywords, values, 1));
    if (conn == nullptr) throw Error("Could not connect to the database server: out of memory.");
    if (PQstatus(conn.get()) == CONNECTION_BAD) {
        // A server that refused at once, or a setting of the string itself that is wrong (libpq says
        // which, in one line).
        const std::string_view why = PQerrorMessage(conn.get());
        if (why.find("connection to server") != std::string_view::npos ||
            why.find("could not translate host name") != std::string_view::npos)
            refused(conn.get(), false);
        throw Error("The database connection string cannot be used: " + oneLine(why) + ".");
    }

    const int timeout = connectTimeoutSeconds(conn.get());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    bool reached = false;
    for (PostgresPollingStatusType step = PGRES_POLLING_WRITING; step != PGRES_POLLING_OK;) {
        if (step == PGRES_POLLING_FAILED) refused(conn.get(), reached);
        switch (waitForSocket(PQsocket(conn.get()), step == PGRES_POLLING_WRITING, deadline)) {
            case SocketWait::TimedOut:
                throw Error(
                    where(conn.get()).replace(0, 1, "T") + " did not answer within " + secondsText(timeout) +
                    " while connecting. The wait is set by connect_timeout in the connection string.");
            case SocketWait::StopRequested:
                throw Error("Stopped while connecting to " + where(conn.get()) + ".");
            case SocketWait::Ready:
                break;
        }
        step = PQconnectPoll(conn.get());
        const ConnStatusType status = PQstatus(conn.get());
        if (status != CONNECTION_STARTED && status != CONNECTION_BAD && status != CONNECTION_NEEDED)
            reached = true;
    }
    if (PQsetnonblocking(conn.get(), 1) != 0) throw Error("Could not connect to " + where(conn.get()) + ".");
    return conn.release();
}

}  // namespace lumaref
