#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Appends one line to a file that several processes append to (the job history): under an
// exclusive lock on the file, as one write, synced. A line torn by a crash before (the file does
// not end in a line feed) is ended first, so a new line never joins it; a write that fails
// half-way (a full disk) is cut off again, so the file never holds part of this line. line must
// not hold a line feed; one is added. Returns why the line was not written, in the system's
// words; none when it was. Paths are UTF-8.
std::optional<std::string> appendWholeLine(const std::string& path, std::string_view line);

} // namespace tessel
