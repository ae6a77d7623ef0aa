#include "cli/OutputNode.h"

namespace tessel {

// Devices on Windows live under "\\.\" and are not plain files an operator names for data.
std::optional<bool> writeIntoNode(const std::string&, std::string_view) { return std::nullopt; }

} // namespace tessel
