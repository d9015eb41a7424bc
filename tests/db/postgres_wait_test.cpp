// Every wait on the server ends: at the connect timeout, at a stop request, or at once when nobody is
// there; each in one message that names the server and the wait, in the program's own words.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/postgres_connection.h"
#include "support/error_text.h"
#include "support/loopback_server.h"
#include "support/postgres_schema.h"
#include "text/stop_request.h"

namespace lumaref {
namespace {

using Clock = std::chrono::steady_clock;
using Mode = test::LoopbackServer::Mode;

// Asks for a stop after `delay`, as a signal handler would.
class StopLater {
public:
    explicit StopLater(std::chrono::milliseconds delay)
        : thread_([delay] {
              std::this_thread::sleep_for(delay);
              requestStop();
          }) {}
    ~StopLater() {
        thread_.join();
        clearStopRequest();
    }
    StopLater(const StopLater&) = delete;
    StopLater& operator=(const StopLater&) = delete;

private:
    std::thread thread_;
};

void expectOwnWords(const std::string& message) {
    EXPECT_EQ(message.find('\t'), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    EXPECT_EQ(message.find("?."), std::string::npos) << message;
    EXPECT_EQ(message.back(), '.') << message;
}

TEST(ServerWaits, EndAtTheTimeoutAtAStopOrAtOnceWithOneClearMessage) {
    const struct {
        const char* name;
        Mode mode;
        const char* settings;
        std::chrono::milliseconds stopAfter;  // 0: no stop request
        std::chrono::milliseconds atMost;
        std::string message;  // "@" stands for host:port
    } cases[] = {
        {"a server that never answers, waited for as set", Mode::Silent, "dbname=journals connect_timeout=1",
         std::chrono::milliseconds(0), std::chrono::milliseconds(4000),
         "The database server @ (database journals) did not answer within 1 second while connecting. The "
         "wait "
         "is set by connect_timeout in the connection string."},
        {"a server that never answers, and a stop", Mode::Silent, "dbname=journals connect_timeout=60",
         std::chrono::milliseconds(200), std::chrono::milliseconds(1200),
         "Stopped while connecting to the database server @ (database journals)."},
        {"nobody there", Mode::Closed, "dbname=journals", std::chrono::milliseconds(0),
         std::chrono::milliseconds(2000),
         "Could not reach the database server @ (database journals): nothing answered there."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LoopbackServer server(c.mode);
        std::string expected = c.message;
        expected.replace(expected.find('@'), 1, "127.0.0.1:" + std::to_string(server.port()));
        const auto started = Clock::now();
        std::string message;
        {
            std::optional<StopLater> stop;
            if (c.stopAfter.count() > 0) stop.emplace(c.stopAfter);
            message = test::errorOf([&] { PgConnection connection(server.conninfo(c.settings)); });
        }
        EXPECT_LT(Clock::now() - started, c.atMost);
        EXPECT_EQ(message, expected);
        expectOwnWords(message);
    }
}

// A command the server takes its time over is left at once when a stop is requested, and the
// connection is then given up.
TEST(ServerWaits, AStopEndsAPostgresQueryWaitAtOnce) {
    if (const auto reason = test::PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
    PgConnection connection("");
    const auto started = Clock::now();
    std::string message;
    {
        const StopLater stop(std::chrono::milliseconds(200));
        message = test::errorOf([&] { connection.exec("SELECT pg_sleep(30)"); });
    }
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(1200));
    EXPECT_EQ(message,
              "Stopped while waiting for an answer from the database server " + connection.server() + ".");
    EXPECT_TRUE(connection.lost());
    expectOwnWords(message);
}

}  // namespace
}  // namespace lumaref
