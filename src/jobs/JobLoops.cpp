// The long loops of the jobs: reading or writing many bytes with progress, messages and a Cancel
// test at every progress point.
#include "jobs/JobFrame.h"

namespace tessel {

int JobFrame::percentOf(std::size_t n, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(n * 100 / total);
}

std::size_t JobFrame::runLoop(const ByteLoop& loop, const std::function<Next(std::size_t)>& step) {
    std::size_t i = loop.from;
    for (; i < loop.to && ok(); ++i) {
        const Next next = step(i);
        if (next == Next::Stop) break;
        const std::size_t count = loop.countDone ? i - loop.from + 1 : i;
        if (count % loop.every == 0) {
            window_.setProgress(percentOf(count, loop.total));
            window_.processMessages();
            const bool cancel = window_.aborted() || state_->cancelPending;
            if (cancel && state_->rewriting) {
                state_->cancelHeld = true; // the block is finished first
            } else if (cancel) {
                fail(loop.abortCode);
                break;
            }
        }
        if (next == Next::Last) break;
    }
    return i;
}

void JobFrame::beginLongStep(const std::string& line) {
    window_.progressLine(line);
    window_.showAbortControls();
    window_.processMessages();
}

bool JobFrame::endLongStep(int percent, const std::string& successLine) {
    window_.setProgress(percent);
    if (!ok()) return false;
    window_.removeLastLine();
    window_.successLine(successLine);
    return true;
}

} // namespace tessel
