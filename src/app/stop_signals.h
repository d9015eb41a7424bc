#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>

namespace lumaref {

// SIGTERM (logout, shutdown, a scheduler), SIGHUP (a lost terminal or display) and SIGINT end the program
// as a normal close does. The handler only makes the program's stop request (stop_request.h), which is
// safe in a signal handler; the request's descriptor wakes the event loop, which then runs `close`. A job
// running on the event loop's thread asks the request between records and gives up first. A second
// signal ends the program at once, for a wait that does not come back.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::function<void()> close);

private:
    QSocketNotifier notifier_;
    std::function<void()> close_;
};

}  // namespace lumaref
