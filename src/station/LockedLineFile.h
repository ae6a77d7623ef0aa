#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A line file that several processes read and append to, such as the serial-number ledger: it
// is opened (made, when new, with its folder synced so the new name survives a power cut) and
// locked exclusively for as long as this object lives, so what one process reads and then
// appends is one step for every other. Paths are UTF-8.
class LockedLineFile {
public:
    explicit LockedLineFile(const std::string& path);
    ~LockedLineFile();
    LockedLineFile(const LockedLineFile&) = delete;
    LockedLineFile& operator=(const LockedLineFile&) = delete;

    bool ok() const { return !problem_; }
    // Why the file could not be opened and locked, in the system's words; none when it was.
    const std::optional<std::string>& problem() const { return problem_; }

    // The whole file as it stands; nothing when it cannot be read.
    std::optional<std::string> read();
    // Appends the line and a line feed as one write, synced to the disk before it returns. A
    // last line torn by a crash (no line feed at its end) is ended first, so the new line never
    // joins it; a write that fails half-way is cut off again. Returns why it was not appended;
    // none when it was.
    std::optional<std::string> append(std::string_view line);

private:
    std::intptr_t handle_ = -1; // the platform's descriptor or handle
    std::optional<std::string> problem_;
};

} // namespace tessel
