#include "cli/StopSignals.h"

#include "support/ResultCode.h"

#include <csignal>
#include <unistd.h>

namespace tessel::stopsignals {

namespace {
extern "C" void onSignal(int signal) { stopRequested(signal); }
} // namespace

void install() {
    constexpr int kStops[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStops) sigaddset(&action.sa_mask, signal); // one stop at a time
    action.sa_flags = SA_RESTART; // a serial line call or a write is never cut short by a stop
    for (const int signal : kStops) sigaction(signal, &action, nullptr);
}

void endNow(int signal) {
    // By the signal's own default action, so a shell sees the program killed by it.
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    _exit(stoppedBy(signal));
}

void writeFromHandler(const char* text, std::size_t length) {
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, text, length);
}

} // namespace tessel::stopsignals
