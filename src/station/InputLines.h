#pragma once

#include <optional>
#include <string>

namespace tessel {

// Whole lines from the program's standard input (a pipe from the station, or the operator's
// terminal), taken without blocking the program longer than it asks to wait.
class InputLines {
public:
    // The next line without its line end, waiting up to waitMs for it (negative: until a line
    // comes or the input ends). Nothing when none came in time, or when the input has ended.
    std::optional<std::string> next(int waitMs);
    bool ended() const { return ended_ && buffer_.empty(); }

private:
    std::optional<std::string> takeLine();
    // Adds what the input holds, waiting up to waitMs for something; sets ended_ at its end.
    // A stop signal may end the wait early.
    void fill(int waitMs);

    std::string buffer_;
    bool ended_ = false;
};

} // namespace tessel
