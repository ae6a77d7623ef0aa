#include "support/CommandArguments.h"

namespace tessel {

std::vector<std::string> commandArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

std::string commandName(int argc, char** argv) { return argc > 0 && argv[0] ? argv[0] : ""; }

} // namespace tessel
