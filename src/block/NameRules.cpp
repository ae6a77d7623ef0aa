#include "block/NameRules.h"

namespace tessel {

bool readsBackUnchanged(std::string_view name) {
    if (name.find_first_not_of(' ') == std::string_view::npos) return true;
    const auto separator = name.find_first_of(" :");
    return separator == std::string_view::npos || separator + 1 == name.size();
}

} // namespace tessel
