#include "station/InputLines.h"

#include "support/Clock.h"

namespace tessel {

std::optional<std::string> InputLines::takeLine() {
    const auto end = buffer_.find('\n');
    if (end == std::string::npos) {
        if (!ended_ || buffer_.empty()) return std::nullopt;
        std::string last = std::move(buffer_); // a last line without its line end
        buffer_.clear();
        return last;
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<std::string> InputLines::next(int waitMs) {
    if (auto line = takeLine()) return line;
    SteadyClock clock;
    const std::uint64_t start = clock.micros();
    for (;;) {
        if (ended_) return takeLine();
        int left = waitMs;
        if (waitMs > 0) {
            const auto spent = static_cast<int>((clock.micros() - start) / 1000);
            if (spent >= waitMs) return std::nullopt;
            left = waitMs - spent;
        }
        fill(left);
        if (auto line = takeLine()) return line;
        if (waitMs == 0) return std::nullopt;
    }
}

} // namespace tessel
