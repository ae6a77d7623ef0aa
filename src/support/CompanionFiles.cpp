#include "support/CompanionFiles.h"

#include <filesystem>

namespace tessel {
namespace fs = std::filesystem;

namespace {
// Paths are UTF-8 on every platform; on Windows the path class would take a narrow string for
// the system's code page instead.
fs::path fromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }
std::string toUtf8(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}
} // namespace

CompanionFiles CompanionFiles::forExecutable(std::string_view executablePath) {
    std::string base(executablePath);
    const auto name = toUtf8(fromUtf8(base).filename()); // after the last '/' (or '\' on Windows)
    const bool hasExtension = name.size() > 4 && name[name.size() - 4] == '.' &&
                              name.substr(name.size() - 3).find('.') == std::string::npos;
    if (hasExtension) base.resize(base.size() - 4);
    return {base, base + ".INI", base + ".LOG"};
}

CompanionFiles CompanionFiles::forIniFile(std::string_view iniPath) {
    const auto base = toUtf8(fromUtf8(iniPath).replace_extension());
    return {base, std::string(iniPath), base + ".LOG"};
}

} // namespace tessel
