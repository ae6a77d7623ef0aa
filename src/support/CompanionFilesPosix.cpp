#include "support/CompanionFiles.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tessel {

std::string currentExecutablePath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string environmentFolder(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value == '/' ? value : "";
}

bool isInstalledProgramFolder(const std::string& folder) {
    // The distribution's tree (/bin is /usr/bin on merged systems; /proc/self/exe says which).
    return folder == "/usr" || folder.starts_with("/usr/");
}

bool mayWrite(const std::string& path) {
    // The kernel's answer (permissions, ACLs, read-only mounts), and for root, who may write
    // anything, the permission bits' read-only mark as well: no write bit at all.
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 &&
           (::geteuid() != 0 || (st.st_mode & 0222) != 0);
}

std::string userDocumentsFolder() { return {}; }

std::string userCompanionBase() {
    if (auto config = environmentFolder("XDG_CONFIG_HOME"); !config.empty())
        return config + "/tessel/tessel";
    if (auto home = environmentFolder("HOME"); !home.empty()) return home + "/.config/tessel/tessel";
    return {};
}

std::string userDataFolder() {
    if (auto data = environmentFolder("XDG_DATA_HOME"); !data.empty()) return data + "/tessel";
    if (auto home = environmentFolder("HOME"); !home.empty()) return home + "/.local/share/tessel";
    return {};
}

} // namespace tessel
