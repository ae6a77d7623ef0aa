#include "support/CompanionFiles.h"

#include "support/AtomicFile.h"
#include "support/Utf8File.h"

#include <filesystem>

namespace tessel {

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(utf8Path(path), ec);
}

// The program may keep its files beside the executable: a folder of its own that it may add
// files to (the INI is replaced through a new file beside it) and an INI, if any, it may change.
bool mayWriteBeside(const CompanionFiles& files) {
    const auto parent = utf8Path(files.iniPath).parent_path();
    const auto folder = utf8Text(parent.empty() ? std::filesystem::path(".") : parent);
    return !isInstalledProgramFolder(folder) && mayWrite(folder) &&
           (!exists(files.iniPath) || mayWrite(files.iniPath));
}

} // namespace

CompanionFiles CompanionFiles::forExecutable(std::string_view executablePath) {
    std::string base(executablePath);
    const auto name = utf8Text(utf8Path(base).filename()); // after the last '/' (or '\' on Windows)
    const bool hasExtension = name.size() > 4 && name[name.size() - 4] == '.' &&
                              name.substr(name.size() - 3).find('.') == std::string::npos;
    if (hasExtension) base.resize(base.size() - 4);
    return {base, base + ".INI", base + ".LOG", false, {}};
}

CompanionFiles CompanionFiles::forIniFile(std::string_view iniPath) {
    const auto base = utf8Text(utf8Path(iniPath).replace_extension());
    return {base, std::string(iniPath), base + ".LOG", false, {}};
}

CompanionFiles CompanionFiles::forProgram(std::string_view executablePath,
                                          std::string_view iniOverride) {
    if (!iniOverride.empty()) return forIniFile(iniOverride);
    const auto beside = forExecutable(executablePath);
    const auto base = mayWriteBeside(beside) ? std::string() : userCompanionBase();
    if (base.empty()) return beside; // writable, or nowhere else to go: writes fail quietly there
    return {base, base + ".INI", base + ".LOG", true, exists(beside.iniPath) ? beside.iniPath : ""};
}

void CompanionFiles::prepareUserFolder() const {
    if (!inUserFolder) return;
    std::error_code ec;
    std::filesystem::create_directories(utf8Path(iniPath).parent_path(), ec);
    if (seedPath.empty() || exists(iniPath)) return;
    // A fresh file with the user's own permissions, not the seed's read-only mark.
    if (const auto bytes = readWholeFile(seedPath)) replaceFileAtomically(iniPath, *bytes);
}

} // namespace tessel
