#include "support/CompanionFiles.h"

#include <filesystem>

namespace tessel {

std::string currentExecutablePath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

} // namespace tessel
