#include "support/CompanionFiles.h"

#include "support/Utf8File.h"

namespace tessel {

CompanionFiles CompanionFiles::forExecutable(std::string_view executablePath) {
    std::string base(executablePath);
    const auto name = utf8Text(utf8Path(base).filename()); // after the last '/' (or '\' on Windows)
    const bool hasExtension = name.size() > 4 && name[name.size() - 4] == '.' &&
                              name.substr(name.size() - 3).find('.') == std::string::npos;
    if (hasExtension) base.resize(base.size() - 4);
    return {base, base + ".INI", base + ".LOG"};
}

CompanionFiles CompanionFiles::forIniFile(std::string_view iniPath) {
    const auto base = utf8Text(utf8Path(iniPath).replace_extension());
    return {base, std::string(iniPath), base + ".LOG"};
}

} // namespace tessel
