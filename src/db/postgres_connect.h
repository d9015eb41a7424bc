#pragma once

#include <string>

struct pg_conn;

namespace lumaref {

// How long a connection waits for the server to answer its login, unless the connection string
// (connect_timeout) or PGCONNECT_TIMEOUT says otherwise.
inline constexpr int kDefaultConnectTimeoutSeconds = 10;

// A new connection to the server `conninfo` names (a URI or key=value pairs; libpq's environment fills
// the rest), with TCP keepalives, made without blocking: the wait ends at the connect timeout or at a
// stop request. Returns a connection that is ready, in non-blocking mode. Throws Error in the program's
// words, naming the server and the database, never with libpq's own text.
pg_conn* connectToServer(const std::string& conninfo);

// The server a connection talks to, as messages name it: "host:port", or the socket's path.
std::string serverName(const pg_conn* conn);

}  // namespace lumaref
