#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A device, FIFO or socket named by --out is written into as it is: replacing it with a regular
// file would take it away from everyone else (think of /dev/null). Sockets are connected to.
// Nothing when the path names no such node (the caller replaces the file); otherwise whether all
// bytes went in, with errno telling why not. Windows has no such nodes among plain paths.
std::optional<bool> writeIntoNode(const std::string& path, std::string_view bytes);

} // namespace tessel
