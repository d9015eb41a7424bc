#include "app/stop_signals.h"

#include <csignal>

#include "text/stop_request.h"

namespace lumaref {

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Only async-signal-safe calls: sigaction and the stop request.
void onStopSignal(int /*signal*/) {
    // The next one of any of them takes the default action: the program ends.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (const int each : kStopSignals) sigaction(each, &fallback, nullptr);
    requestStop();
}

}  // namespace

StopSignals::StopSignals(std::function<void()> close)
    : notifier_(QSocketNotifier::Read), close_(std::move(close)) {
    if (stopRequestDescriptor() < 0) return;  // no descriptor: the signals keep their default action
    notifier_.setSocket(stopRequestDescriptor());
    notifier_.setEnabled(true);
    connect(&notifier_, &QSocketNotifier::activated, this, [this] {
        notifier_.setEnabled(false);
        close_();
    });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int each : kStopSignals) sigaction(each, &action, nullptr);
}

}  // namespace lumaref
