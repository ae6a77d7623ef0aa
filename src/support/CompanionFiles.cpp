#include "support/CompanionFiles.h"

#include <filesystem>

namespace tessel {
namespace fs = std::filesystem;

CompanionFiles CompanionFiles::forExecutable(std::string_view executablePath) {
    std::string base(executablePath);
    const auto nameStart = base.find_last_of('/') == std::string::npos ? 0 : base.find_last_of('/') + 1;
    const auto name = std::string_view(base).substr(nameStart);
    const bool hasExtension = name.size() > 4 && name[name.size() - 4] == '.' &&
                              name.substr(name.size() - 3).find('.') == std::string_view::npos;
    if (hasExtension) base.resize(base.size() - 4);
    return {base, base + ".INI", base + ".LOG"};
}

CompanionFiles CompanionFiles::forIniFile(std::string_view iniPath) {
    const auto base = fs::path(iniPath).replace_extension().string();
    return {base, std::string(iniPath), base + ".LOG"};
}

std::string currentExecutablePath() {
    std::error_code ec;
    const auto path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

} // namespace tessel
