#include "support/CompanionFiles.h"

#include "support/Win32Text.h"

#include <cwctype>
#include <windows.h>
#include <shlobj.h>

namespace tessel {

namespace {

// A wide environment variable; empty when it is not set.
std::wstring environment(const wchar_t* variable) {
    const DWORD n = GetEnvironmentVariableW(variable, nullptr, 0);
    std::wstring value(n, L'\0');
    if (n == 0 || GetEnvironmentVariableW(variable, value.data(), n) != n - 1) return {};
    value.resize(n - 1);
    return value;
}

// Windows paths compare without regard to case or to which slash separates them.
std::wstring comparable(std::wstring path) {
    for (auto& c : path) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

} // namespace

std::string currentExecutablePath() {
    // Grows the buffer until the whole path fits (long paths exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return utf8FromWide(path);
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::string environmentFolder(const char* variable) {
    // Read wide: a profile folder named beyond the system's code page stays intact.
    const auto value = environment(wideFromUtf8(variable).c_str());
    const bool absolute = value.size() >= 3 && value[1] == L':' && (value[2] == L'\\' || value[2] == L'/');
    return absolute || value.starts_with(L"\\\\") ? utf8FromWide(value) : "";
}

bool isInstalledProgramFolder(const std::string& folder) {
    const auto path = comparable(wideFromUtf8(folder));
    for (const wchar_t* variable : {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)"}) {
        const auto root = comparable(environment(variable));
        if (!root.empty() && (path == root || path.starts_with(root + L'\\'))) return true;
    }
    return false;
}

bool mayWrite(const std::string& path) {
    const auto wide = wideFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    // Opening with the right to add a file (a folder) or to write (a file) asks the access
    // check itself; the handle is closed unused.
    const HANDLE handle = CreateFileW(wide.c_str(), folder ? FILE_ADD_FILE : FILE_WRITE_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

std::string userDocumentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return {};
    return utf8FromWide(folder);
}

std::string userCompanionBase() {
    const auto roaming = environmentFolder("APPDATA");
    return roaming.empty() ? std::string() : roaming + "\\Tessel\\Tessel";
}

std::string userDataFolder() {
    // The XDG variable first, as elsewhere (a test or a user may point it anywhere).
    if (auto data = environmentFolder("XDG_DATA_HOME"); !data.empty()) return data + "/tessel";
    if (auto local = environmentFolder("LOCALAPPDATA"); !local.empty()) return local + "/tessel";
    if (auto home = environmentFolder("HOME"); !home.empty()) return home + "/.local/share/tessel";
    return {};
}

} // namespace tessel
