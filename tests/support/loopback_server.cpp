#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lumaref::test {

namespace {

int listenOn(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on a loopback port");
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// The real server as libpq's environment names it; -1 when it cannot be reached.
int connectToRealServer() {
    const char* host = std::getenv("PGHOST");
    const char* port = std::getenv("PGPORT");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host != nullptr && host[0] != '/' ? host : "localhost", port != nullptr ? port : "5432",
                      &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

}  // namespace

struct LoopbackServer::Running {
    std::mutex lock;
    Mode mode = Mode::Closed;
    int port = 0;
    int listener = -1;
    std::vector<std::pair<int, int>> links;  // client, server (-1 while silent)
    int wake[2] = {-1, -1};
    std::atomic<bool> stop{false};
    std::thread thread;

    void cutAll() {
        for (auto& [client, server] : links) {
            ::close(client);
            if (server >= 0) ::close(server);
        }
        links.clear();
    }

    void accept() {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return;
        const int server = mode == Mode::Forward ? connectToRealServer() : -1;
        if (mode == Mode::Forward && server < 0) {
            ::close(client);
            return;
        }
        links.emplace_back(client, server);
    }

    // Passes what one side sent to the other; a side that closed ends the link.
    static bool relay(int from, int to) {
        char buffer[16384];
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got <= 0) return false;
        if (to < 0) return true;  // silent: read and forgotten
        for (ssize_t sent = 0; sent < got;) {
            const ssize_t wrote = ::write(to, buffer + sent, static_cast<std::size_t>(got - sent));
            if (wrote <= 0) return false;
            sent += wrote;
        }
        return true;
    }

    void run() {
        while (!stop) {
            std::vector<pollfd> watched{{wake[0], POLLIN, 0}};
            {
                const std::lock_guard<std::mutex> held(lock);
                if (listener >= 0) watched.push_back({listener, POLLIN, 0});
                for (const auto& [client, server] : links) {
                    watched.push_back({client, POLLIN, 0});
                    if (server >= 0) watched.push_back({server, POLLIN, 0});
                }
            }
            if (::poll(watched.data(), watched.size(), 1000) <= 0) continue;
            const std::lock_guard<std::mutex> held(lock);
            if (watched[0].revents != 0) {
                char drained[64];
                while (::read(wake[0], drained, sizeof drained) > 0) {
                }
                continue;  // the mode changed: look again
            }
            for (std::size_t i = 1; i < watched.size(); ++i) {
                if (watched[i].revents == 0) continue;
                if (watched[i].fd == listener) {
                    accept();
                    continue;
                }
                for (auto link = links.begin(); link != links.end(); ++link) {
                    const bool fromClient = watched[i].fd == link->first;
                    if (!fromClient && watched[i].fd != link->second) continue;
                    if (!relay(watched[i].fd, fromClient ? link->second : link->first)) {
                        ::close(link->first);
                        if (link->second >= 0) ::close(link->second);
                        links.erase(link);
                    }
                    break;
                }
            }
        }
    }
};

LoopbackServer::LoopbackServer(Mode mode) : running_(std::make_unique<Running>()) {
    if (::pipe2(running_->wake, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("no pipe");
    // The port is chosen once and kept, closed or not, so a connection string stays good.
    const int probe = listenOn(0);
    running_->port = boundPort(probe);
    ::close(probe);
    setMode(mode);
    running_->thread = std::thread([running = running_.get()] { running->run(); });
}

LoopbackServer::~LoopbackServer() {
    running_->stop = true;
    try {
        setMode(Mode::Closed);  // closes, so listens nowhere: nothing to throw
        running_->thread.join();
    } catch (...) {
        std::terminate();
    }
    ::close(running_->wake[0]);
    ::close(running_->wake[1]);
}

int LoopbackServer::port() const { return running_->port; }

void LoopbackServer::setMode(Mode mode) {
    {
        const std::lock_guard<std::mutex> held(running_->lock);
        running_->mode = mode;
        if (mode == Mode::Closed) {
            running_->cutAll();
            if (running_->listener >= 0) ::close(running_->listener);
            running_->listener = -1;
        } else if (running_->listener < 0) {
            running_->listener = listenOn(running_->port);
        }
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t woke = ::write(running_->wake[1], &byte, 1);
}

std::string LoopbackServer::conninfo(std::string_view more) const {
    std::string text = "host=127.0.0.1 port=" + std::to_string(running_->port);
    if (!more.empty()) text += " " + std::string(more);
    return text;
}

}  // namespace lumaref::test
