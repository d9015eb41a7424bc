#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lumaref::test {

// A database server's stand-in on a loopback port of its own: nobody there (connections refused), a
// server that accepts and never answers, or the real server of libpq's environment (PGHOST, PGPORT)
// reached through it. Switching to Closed cuts every connection it carries, as a server that stops.
class LoopbackServer {
public:
    enum class Mode { Closed, Silent, Forward };

    explicit LoopbackServer(Mode mode);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const;
    void setMode(Mode mode);
    // libpq key=value pairs that reach this port, followed by `more`.
    std::string conninfo(std::string_view more = {}) const;

private:
    struct Running;
    std::unique_ptr<Running> running_;
};

}  // namespace lumaref::test
