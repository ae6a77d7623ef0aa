// What a stop from outside does, the same on every platform. Everything a handler touches is a
// lock-free atomic or a buffer it only reads: the stop line is prepared in the buffer the
// handler does not use, then handed over by switching an index.
#include "cli/StopSignals.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>

namespace tessel::stopsignals {

namespace {

std::atomic<bool> running{false};
std::atomic<bool> rewriting{false};
std::atomic<bool> cancel{false};
std::atomic<int> stopCount{0}; // stops seen while the job runs
std::atomic<int> stopBy{0};    // SIGTERM or SIGHUP: the exit code to end with

constexpr std::size_t kLineBytes = 2048;
char lines[2][kLineBytes];
std::atomic<std::size_t> lineLength[2];
std::atomic<int> current{0};

void sayFinishing() {
    static constexpr char kLine[] = "tessel: finishing the light bar's block, then stopping\n";
    writeFromHandler(kLine, sizeof kLine - 1);
}

// Ctrl+C is the Cancel alone; SIGINT is the one signal that does not set the exit code.
bool setsExitCode(int signal) { return signal != SIGINT; }

} // namespace

void setJobRunning(bool on) {
    if (on) stopCount = 0;
    running = on;
}

bool jobRunning() { return running; }

void setRewriting(bool on) { rewriting = on; }

// The line starts a line of its own: a question or a progress bar may have left the cursor
// after its text.
void setStopLine(const std::string& line) {
    const int next = 1 - current.load();
    std::size_t n = std::min(line.size(), kLineBytes - 2);
    lines[next][0] = '\n';
    std::memcpy(lines[next] + 1, line.data(), n++);
    lines[next][n++] = '\n';
    lineLength[next] = n;
    current = next;
}

bool takeCancel() { return cancel.exchange(false); }

int stopSignal() { return stopBy.load(); }

void stopRequested(int signal) {
    if (setsExitCode(signal) && stopBy.load() == 0) stopBy = signal;
    if (!running) endNow(signal); // nothing is being done to a light bar
    if (stopCount.fetch_add(1) == 0) {
        cancel = true; // a rewrite holds it until the block is verified
        if (rewriting) sayFinishing();
        return;
    }
    if (rewriting) {
        sayFinishing(); // the Cancel already waits for the block
        return;
    }
    const int line = current.load();
    writeFromHandler(lines[line], lineLength[line].load());
    endNow(signal);
}

} // namespace tessel::stopsignals
